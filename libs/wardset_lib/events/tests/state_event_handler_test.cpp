#include "events/state_event_handler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::InSequence;
using ::testing::Return;
using ::testing::StrictMock;

class MockProducer : public StateEventProducerI {
  public:
    MOCK_METHOD(StateEventProducerHandle, registerEvent,
                (int, const std::string&, const std::string&, const std::string&), (override));
    MOCK_METHOD(void, unregisterEvent, (const StateEventProducerHandle&), (override));
    MOCK_METHOD(void, sendStartEvent, (const StateEventProducerHandle&, const int64_t&),
                (override));
    MOCK_METHOD(void, sendEndEvent, (const StateEventProducerHandle&, const int64_t&), (override));
    MOCK_METHOD(void, sendEndEvent, (const StateEventProducerHandle&), (override));
};

constexpr int64_t kSecond = 1000000;
constexpr int64_t kMinDuration = 3 * kSecond;

class StateEventHandlerTest : public ::testing::Test {
  protected:
    StateEventHandlerTest() {
        handle.key = "Dwellwatch: Entrance_Camera1Profile3";
        handle.camera = 1;
        EXPECT_CALL(producer,
                    registerEvent(1, "Entrance", "Camera1Profile3", "Dwellwatch: Entrance"))
            .WillOnce(Return(handle));
    }

    std::unique_ptr<StateEventHandler> makeHandler() {
        return std::make_unique<StateEventHandler>(1, 3, "Dwellwatch", "Entrance", kMinDuration,
                                                   producer);
    }

    StrictMock<MockProducer> producer;
    StateEventProducerHandle handle;
};

TEST_F(StateEventHandlerTest, OneAlarmFrameEndsOnTheFirstFrameMoreThanTheDurationLater) {
    auto handler = makeHandler();
    {
        InSequence order;
        EXPECT_CALL(producer, sendStartEvent(handle, 10 * kSecond));
        EXPECT_CALL(producer, sendEndEvent(handle, 13 * kSecond + 1));
        EXPECT_CALL(producer, unregisterEvent(handle));
    }
    EXPECT_EQ(handler->handleAlarm(true, 10 * kSecond), StateEventHandler::kStartSent);
    EXPECT_TRUE(handler->isOngoing());
    EXPECT_EQ(handler->handleAlarm(false, 11 * kSecond), StateEventHandler::kNothingSent);
    EXPECT_FALSE(handler->hasReachedEnd(13 * kSecond));
    EXPECT_EQ(handler->handleAlarm(false, 13 * kSecond), StateEventHandler::kNothingSent);
    EXPECT_TRUE(handler->hasReachedEnd(13 * kSecond + 1));
    EXPECT_EQ(handler->handleAlarm(false, 13 * kSecond + 1), StateEventHandler::kEndSent);
    EXPECT_FALSE(handler->isOngoing());
    EXPECT_FALSE(handler->hasReachedEnd(20 * kSecond));
    EXPECT_EQ(handler->handleAlarm(false, 20 * kSecond), StateEventHandler::kNothingSent);
}

TEST_F(StateEventHandlerTest, EveryAlarmFrameRestartsTheMinimumDuration) {
    auto handler = makeHandler();
    {
        InSequence order;
        EXPECT_CALL(producer, sendStartEvent(handle, 0));
        EXPECT_CALL(producer, sendEndEvent(handle, 5 * kSecond + 1));
        EXPECT_CALL(producer, sendStartEvent(handle, 6 * kSecond));
        EXPECT_CALL(producer, unregisterEvent(handle));
    }
    EXPECT_EQ(handler->handleAlarm(true, 0), StateEventHandler::kStartSent);
    EXPECT_EQ(handler->handleAlarm(true, 2 * kSecond), StateEventHandler::kNothingSent);
    EXPECT_EQ(handler->handleAlarm(false, 4 * kSecond), StateEventHandler::kNothingSent);
    EXPECT_EQ(handler->handleAlarm(false, 5 * kSecond + 1), StateEventHandler::kEndSent);
    EXPECT_EQ(handler->handleAlarm(true, 6 * kSecond), StateEventHandler::kStartSent);
    // Stopping ends the event at once and leaves nothing for the destructor.
    EXPECT_CALL(producer, sendEndEvent(handle, 7 * kSecond));
    handler->stopAllEvents(7 * kSecond);
    EXPECT_FALSE(handler->isOngoing());
    EXPECT_FALSE(handler->hasReachedEnd(20 * kSecond));
    handler->stopAllEvents(8 * kSecond);
}

TEST_F(StateEventHandlerTest, DestructionEndsAnOngoingEventWithoutATimeThenUnregisters) {
    auto handler = makeHandler();
    EXPECT_CALL(producer, sendStartEvent(handle, kSecond));
    handler->handleAlarm(true, kSecond);
    {
        InSequence order;
        EXPECT_CALL(producer, sendEndEvent(handle));
        EXPECT_CALL(producer, unregisterEvent(handle));
    }
    handler.reset();
}

}  // namespace
