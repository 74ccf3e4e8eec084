// The alarm overlay of the running daemon: the demo's scenario through the
// callback transport with the overlay enabled for its profile, and the
// camera's overlay services on a private bus. The loiterer's box is in the
// buffers the daemon submits while the profile is in alarm, and gone after.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "daemon_api_fixture.h"
#include "overlay_service.h"
#include "private_bus.h"

namespace {

using dwtest::dump;
using dwtest::errorCode;
using dwtest::request;
using dwtest::waitUntil;

constexpr unsigned char kOutline = 0x44;

// The demo's area (the middle half of the view), its individual condition
// halved like the pace of the scenario.
const std::string kConfiguration = request("setConfiguration", R"({
  "cameras": [{"id": 1, "active": true, "rotation": 0, "overlayResolution": "1920x1080"}],
  "profiles": [{"name": "Entrance", "uid": 1, "camera": 1, "alarmOverlayEnabled": true,
    "filters": [{"type": "distanceSwayingObject", "data": 5, "active": true}],
    "triggers": [{"type": "loiteringArea",
      "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
      "conditions": [{"type": "individual", "data": 4, "active": true}]}]}]})");

class AlarmOverlayDaemonTest : public dwtest::DaemonApiFixture {
  protected:
    AlarmOverlayDaemonTest()
        : DaemonApiFixture({DEMO_SCENARIO_PATH, "--speed", "2", "--stamp", "monotonic"}) {}

    void SetUp() override {
        // The daemon finds the bus in its environment.
        m_bus = std::make_unique<camlet::testing::PrivateBus>();
        m_service = std::make_unique<overlaysim::OverlayService>(m_bus->address());
        m_service->addStream({});
        DaemonApiFixture::SetUp();
    }

    void TearDown() override {
        m_daemon.terminate(SIGTERM);
        m_service.reset();
        m_bus.reset();
    }

    // Whether the last submitted buffer shows an outline.
    bool showsOutline() const {
        const std::vector<overlaysim::CreatedOverlay> overlays = m_service->createdOverlays();
        return !overlays.empty() && std::count(overlays[0].lastBuffer.begin(),
                                               overlays[0].lastBuffer.end(), kOutline) > 0;
    }

    int alarmSends(bool active) const {
        int count = 0;
        const std::string state = active ? "\"active\":true" : "\"active\":false";
        for (const std::string& line : m_root.readLines(dwtest::kEventLogPath)) {
            count += line.find("\"op\":\"send\"") != std::string::npos &&
                             line.find(state) != std::string::npos
                         ? 1
                         : 0;
        }
        return count;
    }

    std::unique_ptr<camlet::testing::PrivateBus> m_bus;
    std::unique_ptr<overlaysim::OverlayService> m_service;
};

TEST_F(AlarmOverlayDaemonTest, TheLoiterersBoxIsShownWhileTheProfileIsInAlarm) {
    const dwtest::Json capabilities = ask(request("getConfigurationCapabilities"));
    const json_t* overlay =
        json_object_get(json_object_get(capabilities.get(), "data"), "alarmOverlay");
    EXPECT_TRUE(json_is_true(json_object_get(overlay, "isSupported"))) << dump(overlay);
    ASSERT_EQ(errorCode(ask(kConfiguration).get()), "none");
    ASSERT_TRUE(waitUntil([this] { return m_service->createdOverlays().size() == 1; }, 5000))
        << m_daemon.log();
    EXPECT_EQ(m_service->createdOverlays()[0].size, "1920x1072");

    ASSERT_TRUE(waitUntil([this] { return showsOutline(); }, 20000)) << m_daemon.log();
    EXPECT_GE(alarmSends(true), 1) << "a box while the profile is not in alarm";
    ASSERT_TRUE(waitUntil([this] { return alarmSends(false) >= 1; }, 20000));
    EXPECT_TRUE(waitUntil([this] { return !showsOutline(); }, 2000)) << "the box stays";

    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0);
    EXPECT_TRUE(m_service->createdOverlays().empty()) << "shutdown removes the overlay";
}

}  // namespace
