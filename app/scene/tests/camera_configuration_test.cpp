#include <gtest/gtest.h>
#include <syslog.h>

#include <memory>
#include <string>
#include <utility>

#include "guard/area_guard.h"
#include "overlay/stream_settings.h"
#include "recording_producer.h"
#include "scene/camera_configuration_container.h"

namespace {

// A guard that tells when it is destroyed.
class WatchedGuard : public Guard {
  public:
    WatchedGuard(int id, guardtest::RecordingProducer& producer, bool& destroyed)
        : Guard("Profile", id, 1, 3000000, "Dwellwatch", producer, -2), m_destroyed(destroyed) {}
    ~WatchedGuard() override { m_destroyed = true; }

    std::unique_ptr<AlarmData> checkObjects(const ParsedScene& scene) override {
        return Guard::checkObjects(scene, "");
    }

  protected:
    std::unique_ptr<AlarmData> updateObjectsAndGetAlarms(const ParsedScene&) override {
        return nullptr;
    }

  private:
    bool& m_destroyed;
};

class CameraConfigurationTest : public ::testing::Test {
  protected:
    std::unique_ptr<Guard> guard(int id, bool& destroyed) {
        return std::make_unique<WatchedGuard>(id, producer, destroyed);
    }

    guardtest::RecordingProducer producer;
};

TEST(StreamSettings, EqualWhenAllFourFieldsAre) {
    const StreamSettings settings(1280, 720, 90, false);
    EXPECT_EQ(settings, StreamSettings(1280, 720, 90, false));
    EXPECT_NE(settings, StreamSettings(1280, 720, 90, true));
    EXPECT_NE(settings, StreamSettings(1280, 720, 270, false));
    EXPECT_NE(settings, StreamSettings(720, 1280, 90, false));
}

TEST(StreamSettings, SizesOfTheRotatedImageInWholeMacroBlocks) {
    const StreamSettings upright(1366, 770, 180, false);
    EXPECT_EQ(upright.getRotationCorrectedHeight(), 770);
    EXPECT_EQ(upright.getRotationAndMacroBlockCorrectedWidth(), 1360);
    EXPECT_EQ(upright.getRotationAndMacroBlockCorrectedHeight(), 768);

    const StreamSettings sideways(1366, 770, 270, false);
    EXPECT_EQ(sideways.getRotationCorrectedHeight(), 1366);
    EXPECT_EQ(sideways.getRotationAndMacroBlockCorrectedWidth(), 768);
    EXPECT_EQ(sideways.getRotationAndMacroBlockCorrectedHeight(), 1360);

    // Already whole blocks stay; an unset size (-1) truncates toward zero.
    EXPECT_EQ(StreamSettings(1280, 720, 90, false).getRotationAndMacroBlockCorrectedWidth(), 720);
    EXPECT_EQ(StreamSettings(-1, -1, 0, false).getRotationAndMacroBlockCorrectedHeight(), 0);
}

TEST_F(CameraConfigurationTest, GuardsByProfileAndHandOver) {
    bool firstDestroyed = false;
    bool secondDestroyed = false;
    CameraConfiguration configuration(2, 90);
    configuration.insertGuard(guard(11, firstDestroyed));
    configuration.insertGuard(nullptr);
    configuration.insertGuard(guard(12, secondDestroyed));
    ASSERT_EQ(configuration.getGuards().size(), 2u);
    EXPECT_EQ(configuration.getGuard(12), configuration.getGuards()[1].get());
    EXPECT_EQ(configuration.getGuard(13), nullptr);

    auto taken = configuration.takeGuards();
    EXPECT_EQ(taken.size(), 2u);
    EXPECT_EQ(configuration.getGuard(11), nullptr);
    EXPECT_FALSE(firstDestroyed);
    taken.clear();
    EXPECT_TRUE(firstDestroyed);
    EXPECT_TRUE(secondDestroyed);
}

// Guards that no camera takes over are deleted with their configuration.
TEST_F(CameraConfigurationTest, UnappliedGuardsDieWithTheContainer) {
    bool destroyed = false;
    {
        CameraConfigurationContainer container;
        CameraConfiguration configuration(1, 0);
        configuration.insertGuard(guard(1, destroyed));
        container.insert(std::move(configuration));
        ASSERT_NE(container.getConfiguration(1), nullptr);
        EXPECT_NE(container.getConfiguration(1)->getGuard(1), nullptr);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST_F(CameraConfigurationTest, ADuplicateCameraIsLoggedAndDropped) {
    bool duplicateDestroyed = false;
    CameraConfigurationContainer container;
    container.insert(CameraConfiguration(1, 0));
    CameraConfiguration duplicate(1, 180);
    duplicate.insertGuard(guard(7, duplicateDestroyed));

    openlog("scene_test", LOG_PERROR, LOG_USER);
    testing::internal::CaptureStderr();
    container.insert(std::move(duplicate));
    const std::string log = testing::internal::GetCapturedStderr();
    openlog(nullptr, 0, LOG_USER);
    closelog();

    EXPECT_NE(log.find("Cannot insert duplicate configs in a CameraConfigurationContainer, camera "
                       "nbr = 1 camera rotation = 180\n"),
              std::string::npos)
        << log;
    ASSERT_EQ(container.getConfigurations().size(), 1u);
    EXPECT_EQ(container.getConfiguration(1)->getRotation(), 0);
    EXPECT_TRUE(duplicateDestroyed);
    EXPECT_EQ(container.getConfiguration(2), nullptr);
}

}  // namespace
