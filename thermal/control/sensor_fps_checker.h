#pragma once

#include <optional>
#include <string>

#include "pictor/block.h"

// "SensorFpsChecker": keeps the sensor's maximum frame rate in the file
// "max_fps" of the block's persistent directory, so that it is known across
// restarts, and passes each value on. A value is written when it differs from
// the last one, or with "always_create_file" [false] when the file does not
// hold it yet. In: "max_fps_in"; out: "max_fps_out".
class SensorFpsChecker : public Pictor::Block {
  public:
    SensorFpsChecker(const std::string& name, const Pictor::BlockConfiguration& configuration);

    // Reads the stored value back.
    void setup() override;
    void process() override;

    // The value the file holds; none when it is missing or unparsable.
    std::optional<float> stored_max_fps();

  private:
    std::optional<std::string> file_path();
    std::string stored_text();
    void store(float max_fps);

    Pictor::InPort<Pictor::float_value> m_max_fps_in;
    Pictor::OutPort<Pictor::float_value> m_max_fps_out;
    bool m_always_create_file;
    std::optional<float> m_last;
};
