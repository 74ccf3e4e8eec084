#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pictor/block_configuration.h"
#include "pictor/pipeline.h"
#include "pictor/registry.h"
#include "simulated_module.h"
#include "temporary_root.h"

namespace pictor_run {

// What the simulated module looks at.
enum class Scene {
    Gradient,     // a left-to-right gradient
    HotSpot,      // the gradient with a hot spot circling in it
    HotSpotPass,  // the hot spot only in the middle third of the run
};

struct RunSettings {
    std::string module;
    // Merged over the module's defaults.
    Pictor::BlockConfiguration configuration;
    int frames = 300;
    double frameRate = 30.0;
    // The ambient (and FPA) temperature rises or falls linearly from the
    // first to the second over the run.
    double ambientC = 25.0;
    double ambientEndC = 25.0;
    Scene scene = Scene::HotSpot;
    // Publishes "com.zelk.ThermalSensor" as block "thermal" on the system bus.
    bool dbus = false;
};

// The values of one frame, as the pipeline left them.
struct FrameValues {
    int frame = 0;
    double seconds = 0.0;  // simulated time
    double ambientC = 0.0;
    std::optional<int32_t> fpaMilliC;
    std::optional<int32_t> cameraMilliC;
    // The integration time the sensor latched for this frame.
    uint32_t integrationTime = 0;
    // Shutter requests the FPGA received since the run began, and the last one.
    int shutterRequests = 0;
    std::optional<int32_t> lastShutterRequest;
    std::optional<int32_t> gainMode;
    // The AGC's gain and offset in the FPGA (0 and 0 without an AGC).
    double gain = 0.0;
    int32_t offset = 0;
    // The raw histogram's bounds (at the FPGA's histogram cut: 0.5 % of the
    // pixels each side unless the gain-mode switching set another).
    int32_t histogramLow = 0;
    int32_t histogramHigh = 0;
    std::string videoType;
    std::optional<float> maxFps;
};

// A camera module built by type name from the plug-in, fed by the simulated
// module of its size, run one frame at a time on the calling thread.
class ThermalRun {
  public:
    // Throws std::invalid_argument for an unknown module type and
    // Pictor::ConnectionError when the module cannot be wired.
    ThermalRun(const Pictor::Registry& registry, RunSettings settings);
    ~ThermalRun();
    ThermalRun(const ThermalRun&) = delete;
    ThermalRun& operator=(const ThermalRun&) = delete;

    // Runs the next frame through the pipeline and returns its values.
    FrameValues step();

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The last frame after the gain and offset (the AGC's, or a stretch over
    // the histogram bounds where there is no AGC), 8 bits per pixel.
    std::vector<uint8_t> displayImage() const;

  private:
    void prepareSimulation();
    void connectDbus();
    void countShutterRequests(FrameValues& values);
    double ambientAt(int frame) const;
    bool hotSpotAt(int frame) const;

    RunSettings m_settings;
    std::string m_name;
    int m_width = 0;
    int m_height = 0;
    bool m_hasGainMode = false;
    // The run's camera root, with the module's calibration files; the
    // simulated module's devices are laid under it.
    camlet::testing::TemporaryRoot m_root;
    std::unique_ptr<thermalsim::SimulatedModule> m_camera;
    std::unique_ptr<Pictor::Pipeline> m_pipeline;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> m_fpa;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> m_camera_temperature;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_int32>> m_gain_mode;
    std::shared_ptr<Pictor::Tap<Pictor::datatype_string>> m_video_type;
    std::shared_ptr<Pictor::Tap<Pictor::float_value>> m_max_fps;
    size_t m_writesSeen = 0;
    int m_frame = 0;
    FrameValues m_last;
};

}  // namespace pictor_run
