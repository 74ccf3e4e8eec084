#include "svg/visual_confirmation_handler.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/sdk_wrapper.h"
#include "event_log.h"
#include "platform_events_fixture.h"
#include "svg/svg_doc.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int64_t kWindow = 900'000'000;

const char* const kDeclared = "declare xinternal_data";
const char* const kEmptyPicture = "send xinternal_data <svg><desc></desc></svg>";
const char* const kEmptyText = "send xinternal_data ";

class VisualConfirmationHandlerTest : public PlatformEventsFixture {
  protected:
    static SvgDoc picture() { return SvgDoc("<g>", "<a/>"); }
    static std::string sentPicture() { return "send xinternal_data " + picture().toString(); }

    // While it lives the event service cannot record anything: every
    // declaration and send is refused.
    class RefusingEventService {
      public:
        explicit RefusingEventService(const camlet::testing::TemporaryRoot& root)
            : m_log(root.path() + "/var/log/camlet/events.jsonl") {
            std::rename(m_log.c_str(), (m_log + ".kept").c_str());
            g_mkdir(m_log.c_str(), 0755);
        }
        ~RefusingEventService() {
            g_rmdir(m_log.c_str());
            std::rename((m_log + ".kept").c_str(), m_log.c_str());
        }

      private:
        std::string m_log;
    };

    VisualConfirmationHandler handler{"xinternal_data", kWindow};
};

TEST_F(VisualConfirmationHandlerTest, SendsPicturesOnlyWhileEnabled) {
    EXPECT_FALSE(handler.isAllowedToSend());
    handler.clearScreen();  // nothing to clear
    EXPECT_EQ(eventlog::read(root), Lines{});

    EXPECT_TRUE(handler.enable());
    EXPECT_TRUE(handler.enable());  // declared once
    EXPECT_TRUE(handler.sendEvent(picture(), g_get_monotonic_time()));
    handler.disable();
    handler.disable();
    EXPECT_EQ(eventlog::waitForLines(root, 4),
              (Lines{kDeclared, sentPicture(), kEmptyText, "undeclare xinternal_data"}));
}

TEST_F(VisualConfirmationHandlerTest, SendsARunOfEmptyFramesOnce) {
    ASSERT_TRUE(handler.enable());
    const int64_t now = g_get_monotonic_time();
    EXPECT_TRUE(handler.sendEvent(SvgDoc("<g>", ""), now));
    EXPECT_TRUE(handler.wasLastEventEmpty());
    EXPECT_FALSE(handler.sendEvent(SvgDoc(), now + 1));
    EXPECT_TRUE(handler.sendEvent(picture(), now + 2));
    EXPECT_FALSE(handler.wasLastEventEmpty());
    EXPECT_TRUE(handler.sendEvent(SvgDoc(), now + 3));
    EXPECT_FALSE(handler.sendEvent(SvgDoc(), now + 4));
    EXPECT_EQ(eventlog::read(root, "send"), (Lines{kEmptyPicture, sentPicture(), kEmptyPicture}));
}

TEST_F(VisualConfirmationHandlerTest, AfterFifteenMinutesSendsOneFinalEmptyText) {
    const int64_t beforeStart = g_get_monotonic_time();
    ASSERT_TRUE(handler.enable());
    const int64_t afterStart = g_get_monotonic_time();
    EXPECT_TRUE(handler.isAllowedToSend(beforeStart + kWindow));
    EXPECT_FALSE(handler.isAllowedToSend(afterStart + kWindow + 1));

    EXPECT_TRUE(handler.sendEvent(picture(), beforeStart + kWindow));
    EXPECT_TRUE(handler.sendEvent(picture(), afterStart + kWindow + 1));
    EXPECT_FALSE(handler.sendEvent(picture(), afterStart + kWindow + 2));
    EXPECT_EQ(eventlog::read(root, "send"), (Lines{sentPicture(), kEmptyText}));

    // A new start opens a new window.
    ASSERT_TRUE(handler.enable());
    EXPECT_TRUE(handler.sendEvent(picture(), g_get_monotonic_time()));
    EXPECT_EQ(eventlog::read(root, "send").size(), 3u);
}

TEST_F(VisualConfirmationHandlerTest, ClearScreenSendsTheEmptyPictureUnlessShowingIt) {
    ASSERT_TRUE(handler.enable());
    const int64_t now = g_get_monotonic_time();
    handler.sendEvent(picture(), now);
    handler.clearScreen();
    EXPECT_FALSE(handler.wasLastEventEmpty());
    handler.sendEvent(SvgDoc(), now + 1);  // sent again after clearing
    handler.clearScreen();                 // already empty: nothing
    EXPECT_EQ(eventlog::read(root, "send"), (Lines{sentPicture(), kEmptyPicture, kEmptyPicture}));
}

TEST_F(VisualConfirmationHandlerTest, ARefusedPictureIsTriedAgainWithTheNextFrame) {
    ASSERT_TRUE(handler.enable());
    const int64_t now = g_get_monotonic_time();
    ASSERT_TRUE(handler.sendEvent(SvgDoc(), now));
    {
        const RefusingEventService refusing(root);
        EXPECT_FALSE(handler.sendEvent(picture(), now + 1));
    }
    EXPECT_TRUE(handler.wasLastEventEmpty());  // the count is unchanged
    EXPECT_FALSE(handler.sendEvent(SvgDoc(), now + 2));
    EXPECT_TRUE(handler.sendEvent(picture(), now + 3));
    EXPECT_EQ(eventlog::read(root, "send"), (Lines{kEmptyPicture, sentPicture()}));
}

TEST_F(VisualConfirmationHandlerTest, AFailedDeclarationLeavesTheHandlerDisabled) {
    // The same name declared with other properties cannot be declared again.
    ASSERT_EQ(sdk_wrapper_event_add("xinternal_data", "xinternal_data", "Other", SDK_EVENT_STATEFUL,
                                    nullptr),
              1);
    {
        VisualConfirmationHandler refused("xinternal_data", kWindow);
        EXPECT_FALSE(refused.enable());
        EXPECT_FALSE(refused.isAllowedToSend());
    }  // destruction must not remove the other declaration
    g_usleep(100000);
    EXPECT_EQ(eventlog::read(root), Lines{kDeclared});
}

}  // namespace
