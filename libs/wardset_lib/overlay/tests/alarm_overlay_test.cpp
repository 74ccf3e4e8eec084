#include "overlay/alarm_overlay.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "base/sdk_wrapper.h"
#include "guard/alarm_data.h"
#include "guard/alarm_data_container.h"
#include "overlay/cairo_wrapper.h"
#include "overlay/list_overlays.h"
#include "overlay/list_streams.h"
#include "overlay_service.h"
#include "private_bus.h"
#include "temporary_root.h"
#include "tracking/tracking_object.h"
#include "tracking_test_objects.h"

namespace {

using overlaysim::CreatedOverlay;
using overlaysim::OverlayService;

constexpr int kSurfaceRow = 960;  // bytes per row of a 1920-pixel overlay
const StreamSettings kFullHd(1920, 1080, 0, false);

bool waitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int countCalls(const OverlayService& service, const std::string& part) {
    int count = 0;
    for (const std::string& call : service.calls()) {
        count += call.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

// A device that offers the overlay, its services on a private bus, and the
// overlay enabled; one test at a time, since the overlay is process-wide.
class AlarmOverlayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_root = new camlet::testing::TemporaryRoot;
        s_root->writeFile("/etc/camlet/parameters.conf",
                          "root.Properties.EmbeddedDevelopment.Version=2.16\n"
                          "root.ImageSource.NbrOfSources=1\n"
                          "ImageSource.I0.Sensor.AspectRatio=16:9\n"
                          "root.Properties.Image.Resolution=1920x1080,1280x720\n");
        s_bus = new camlet::testing::PrivateBus;
        // The product's connection must not end the process when the bus goes.
        s_system = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
        ASSERT_NE(s_system, nullptr);
        g_dbus_connection_set_exit_on_close(s_system, FALSE);
        sdk_wrapper_init("DwellwatchGuard", "Dwellwatch", "CamletPlatform");
    }
    static void TearDownTestSuite() {
        sdk_wrapper_cleanup();
        delete s_bus;
        g_clear_object(&s_system);
        delete s_root;
    }

    void SetUp() override {
        service = std::make_unique<OverlayService>(s_bus->address());
        AlarmOverlay::enableIfSupported();
        ASSERT_TRUE(AlarmOverlay::isEnabled());
    }
    void TearDown() override {
        AlarmOverlay::disable();
        service.reset();
    }

    static void configure(std::vector<int> profiles, const StreamSettings& settings = kFullHd) {
        AlarmOverlayConfiguration configuration;
        configuration.profileIds = std::move(profiles);
        configuration.streamSettingsByCamera.emplace(1, settings);
        AlarmOverlay::setNewConfiguration(configuration);
    }

    // A frame in which profile 1 has one object in alarm: a square of 1024
    // scene units around the centre.
    void frame(bool alarm = true) {
        AlarmDataContainer alarms;
        auto data = std::make_unique<AlarmData>(1);
        if (alarm) {
            data->addObjectStatus(&m_object, OBJECT_ALARM);
        }
        alarms.insert(std::move(data));
        AlarmOverlay::handleAlarmResult(alarms, g_get_monotonic_time());
    }

    std::vector<CreatedOverlay> overlaysOnce(std::size_t count) {
        waitFor([&] { return service->createdOverlays().size() == count; });
        return service->createdOverlays();
    }

    std::unique_ptr<OverlayService> service;

  private:
    const TrackingObject m_object{rectangleMote(7, 0, -512, 512, -512, 512), 0, 1.0f};
    static camlet::testing::TemporaryRoot* s_root;
    static camlet::testing::PrivateBus* s_bus;
    static GDBusConnection* s_system;
};

camlet::testing::TemporaryRoot* AlarmOverlayTest::s_root = nullptr;
camlet::testing::PrivateBus* AlarmOverlayTest::s_bus = nullptr;
GDBusConnection* AlarmOverlayTest::s_system = nullptr;

TEST_F(AlarmOverlayTest, FullHdStreamGetsOneOverlayWithTheBoxInItsBuffer) {
    EXPECT_EQ(
        service->paletteCalls(),
        (std::vector<std::string>{"0: 0 0 0 0", "5: 0 0 0 0", "1: 255 0 0 155", "4: 255 0 0 155"}));
    service->addStream({});
    configure({1});
    std::vector<CreatedOverlay> overlays = overlaysOnce(1);
    ASSERT_EQ(overlays.size(), 1u);
    EXPECT_EQ(overlays[0].size, "1920x1072");
    EXPECT_EQ(overlays[0].position, "-1.0000,-1.0000");
    EXPECT_FALSE(overlays[0].visible);

    frame();
    frame();
    overlays = service->createdOverlays();
    ASSERT_EQ(overlays[0].submits, 2);
    EXPECT_TRUE(overlays[0].visible);
    EXPECT_EQ(countCalls(*service, "\"Visible\":\"true\""), 1);

    const std::vector<unsigned char>& buffer = overlays[0].lastBuffer;
    ASSERT_EQ(buffer.size(), 1920u * 1072 / 2 + 96);
    for (std::size_t i = 0; i < 64; ++i) {
        ASSERT_EQ(buffer[i], 0xA5) << "header byte " << i;
    }
    for (std::size_t i = buffer.size() - 32; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], 0xA5) << "tail byte " << i;
    }
    // Box 840 … 1080 × 473 … 608 in pixels: surface columns 420 … 540.
    const auto at = [&buffer](int row, int column) {
        return buffer[64 + row * kSurfaceRow + column];
    };
    EXPECT_EQ(at(472, 480), 0x44);
    EXPECT_EQ(at(608, 480), 0x44);
    EXPECT_EQ(at(540, 419), 0x44);
    EXPECT_EQ(at(540, 540), 0x44);
    EXPECT_EQ(at(540, 480), 0x55);
    EXPECT_EQ(at(100, 100), 0x55);
}

TEST_F(AlarmOverlayTest, AFailedStartStopsListeningAndUnloadsTheDrawingLibrary) {
    AlarmOverlay::disable();
    service->addStream({});
    service->addOverlay({});
    service->refuseCommandChannels(true);
    AlarmOverlay::enableIfSupported();
    EXPECT_FALSE(AlarmOverlay::isEnabled());
    EXPECT_FALSE(Cairo::isModuleOpen());
    EXPECT_TRUE(ListStreams::getCurrentStreams().empty());
    EXPECT_TRUE(ListOverlays::getCurrentOverlays().empty());

    service->refuseCommandChannels(false);
    AlarmOverlay::enableIfSupported();
    EXPECT_TRUE(AlarmOverlay::isEnabled());
    EXPECT_EQ(ListStreams::getCurrentStreams().size(), 1u);
}

TEST_F(AlarmOverlayTest, OnlyMatchingStreamsOfCameraOneGetOverlays) {
    configure({});
    service->addStream({1});
    service->addStream({2, 1, "mjpeg"});
    service->addStream({3, 1, "h264", 1280, 720});
    service->addStream({4, 1, "h264", 1920, 1080, 90});
    service->addStream({5, 1, "h264", 1920, 1080, 0, true});
    service->addStream({6, 2});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(service->createdOverlays().empty()) << "no profile has the overlay";

    configure({1});
    ASSERT_EQ(overlaysOnce(1).size(), 1u);
    EXPECT_EQ(service->createdOverlays()[0].stream, 1);

    service->addStream({8});
    ASSERT_EQ(overlaysOnce(2).size(), 2u);
    service->removeStream(1);
    ASSERT_EQ(overlaysOnce(1).size(), 1u);
    EXPECT_EQ(service->createdOverlays()[0].stream, 8);

    AlarmOverlay::disable();
    EXPECT_TRUE(service->createdOverlays().empty()) << "shutdown removes our overlays";
}

TEST_F(AlarmOverlayTest, AnotherApplicationsTopBandRecreatesOurOverlaysBelowIt) {
    service->addStream({});
    configure({1});
    ASSERT_EQ(overlaysOnce(1).size(), 1u);
    const int first = service->createdOverlays()[0].id;
    for (int i = 0; i < 6; ++i) {
        frame();  // our own overlay's announcement changes nothing
    }
    EXPECT_EQ(service->createdOverlays()[0].id, first);

    service->addOverlay({});  // "top", 40 rows: a band of 48
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    frame();
    std::vector<CreatedOverlay> overlays = service->createdOverlays();
    ASSERT_EQ(overlays.size(), 1u);
    EXPECT_NE(overlays[0].id, first);
    EXPECT_EQ(overlays[0].size, "1920x1024");
    EXPECT_EQ(overlays[0].position, "-1.0000,-0.9111");
    // A new overlay waits for more than 3 frames before another recreation.
    service->changeOverlay(100, "bottom", "");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    frame();
    EXPECT_EQ(service->createdOverlays()[0].id, overlays[0].id);
}

TEST_F(AlarmOverlayTest, OverlaysTheServiceDropsOrCannotMakeComeBack) {
    service->addStream({});
    service->failNextCreateOverlay();
    configure({1});  // the failure stays here: a rebuild 25 frames on
    EXPECT_TRUE(service->createdOverlays().empty());
    for (int i = 0; i < AlarmOverlay::kFramesBeforeReset; ++i) {
        frame();
    }
    ASSERT_EQ(overlaysOnce(1).size(), 1u);

    const int dropped = service->createdOverlays()[0].id;
    for (int i = 0; i < 4; ++i) {
        frame();
    }
    service->dropCreatedOverlay(dropped);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    frame();
    ASSERT_EQ(service->createdOverlays().size(), 1u);
    EXPECT_NE(service->createdOverlays()[0].id, dropped);
    EXPECT_EQ(service->createdOverlays()[0].submits, 1);
}

TEST_F(AlarmOverlayTest, EveryFaultPausesTwentyFiveFramesThenAllIsRebuilt) {
    service->addStream({});
    configure({1});
    ASSERT_EQ(overlaysOnce(1).size(), 1u);
    frame();
    const std::function<void()> faults[] = {
        [this] { service->answerNextSubmitWithError(); },
        [this] { service->answerNextGetBufferWithoutBuffer(); },
        [this] { service->closeCommandChannels(); },
        [this] { service->restart(); },  // forgets the palette and our overlays
    };
    for (const auto& fault : faults) {
        fault();
        frame();  // fails: the handler is gone
        const int submits = service->submitCount();
        const std::size_t palettes = service->paletteCalls().size();
        for (int i = 0; i < AlarmOverlay::kFramesBeforeReset - 1; ++i) {
            frame();
        }
        EXPECT_EQ(service->submitCount(), submits);
        frame();  // the 25th: rebuilt, streams offered again
        frame();
        EXPECT_EQ(service->submitCount(), submits + 1);
        EXPECT_EQ(service->paletteCalls().size(), palettes + 4) << "the palette is set again";
        ASSERT_EQ(service->createdOverlays().size(), 1u);
        EXPECT_EQ(service->createdOverlays()[0].lastBuffer[64 + 472 * kSurfaceRow + 480], 0x44);
    }
}

}  // namespace

namespace {

TEST_F(AlarmOverlayTest, StreamAndOverlayBurstsWhileFramesFlow) {
    configure({1});
    std::atomic<bool> done{false};
    std::thread frames([this, &done] {
        while (!done) {
            frame();
        }
    });
    for (int round = 0; round < 20; ++round) {
        service->addStream({1 + round % 3});
        service->addOverlay({100 + round % 2, "textoverlay", round % 2 ? "bottom" : "top",
                             "1920x" + std::to_string(20 + round)});
        service->changeOverlay(100, "", "1920x" + std::to_string(30 + round));
        service->removeStream(1 + (round + 1) % 3);
        service->removeOverlay(101);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Whatever the interleaving (a failure rebuilds everything 25 frames
    // on), a new stream gets its overlay.
    service->addStream({7});
    EXPECT_TRUE(waitFor([this] {
        for (const CreatedOverlay& overlay : service->createdOverlays()) {
            if (overlay.stream == 7) {
                return true;
            }
        }
        return false;
    }));
    done = true;
    frames.join();
}

}  // namespace
