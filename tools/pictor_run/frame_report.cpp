#include "frame_report.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace pictor_run {
namespace {

std::string orDash(const std::optional<int32_t>& milli) {
    if (!milli) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *milli / 1000.0);
    return text;
}

template <typename T>
std::string orEmpty(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string();
}

}  // namespace

std::string formatFrameLine(const FrameValues& v) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "frame %5d  t %7.2f s  FPA %s °C  camera %s °C  int.time %4u  shutter %d (last "
                  "%s)  gain mode %s  gain %.4f offset %d  histogram %d..%d  video %s  max fps %s",
                  v.frame, v.seconds, orDash(v.fpaMilliC).c_str(), orDash(v.cameraMilliC).c_str(),
                  unsigned(v.integrationTime), v.shutterRequests,
                  v.lastShutterRequest ? std::to_string(*v.lastShutterRequest).c_str() : "-",
                  v.gainMode ? std::to_string(*v.gainMode).c_str() : "-", v.gain, int(v.offset),
                  int(v.histogramLow), int(v.histogramHigh),
                  v.videoType.empty() ? "-" : v.videoType.c_str(),
                  v.maxFps ? std::to_string(*v.maxFps).c_str() : "-");
    return line;
}

CsvWriter::CsvWriter(const std::string& path) : m_out(path) {
    if (!m_out) {
        throw std::runtime_error("cannot create " + path);
    }
    m_out << "frame,seconds,ambient_c,fpa_mc,camera_mc,integration_time,shutter_requests,"
             "last_shutter_request,gain_mode,gain,offset,histogram_low,histogram_high,video_type,"
             "max_fps\n";
}

void CsvWriter::write(const FrameValues& v) {
    m_out << v.frame << ',' << v.seconds << ',' << v.ambientC << ',' << orEmpty(v.fpaMilliC) << ','
          << orEmpty(v.cameraMilliC) << ',' << v.integrationTime << ',' << v.shutterRequests << ','
          << orEmpty(v.lastShutterRequest) << ',' << orEmpty(v.gainMode) << ',' << v.gain << ','
          << v.offset << ',' << v.histogramLow << ',' << v.histogramHigh << ',' << v.videoType
          << ',' << (v.maxFps ? std::to_string(*v.maxFps) : std::string()) << '\n';
    m_out.flush();
}

bool writeGreyPng(const std::string& path, const std::vector<uint8_t>& pixels, int width,
                  int height, std::string& error) {
    if (width <= 0 || height <= 0 || pixels.size() != size_t(width) * size_t(height)) {
        error = "no picture to write";
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        error = "cannot write " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, pixels.data() + size_t(y) * size_t(width));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

namespace {

struct Series {
    const char* label;
    const char* colour;
    std::function<std::optional<double>(const FrameValues&)> value;
};

// One panel of the chart: each series scaled into the panel's box.
void drawPanel(std::ostream& svg, const std::vector<FrameValues>& frames, double top,
               const char* title, const std::vector<Series>& series) {
    constexpr double kLeft = 70, kWidth = 860, kHeight = 170;
    double low = 1e300, high = -1e300;
    for (const Series& s : series) {
        for (const FrameValues& frame : frames) {
            if (auto v = s.value(frame)) {
                low = std::min(low, *v);
                high = std::max(high, *v);
            }
        }
    }
    if (low > high) {
        low = 0;
        high = 1;
    }
    if (high - low < 1e-9) {
        high = low + 1;
    }
    const double lastFrame = std::max(double(frames.size()) - 1, 1.0);
    svg << "<rect x='" << kLeft << "' y='" << top << "' width='" << kWidth << "' height='"
        << kHeight << "' fill='none' stroke='#999'/>\n";
    svg << "<text x='" << kLeft << "' y='" << top - 6 << "' font-size='13'>" << title
        << "</text>\n";
    svg << "<text x='4' y='" << top + 12 << "' font-size='11'>" << high << "</text>\n";
    svg << "<text x='4' y='" << top + kHeight << "' font-size='11'>" << low << "</text>\n";
    double legend = kLeft + 260;
    for (const Series& s : series) {
        svg << "<polyline fill='none' stroke='" << s.colour << "' stroke-width='1.5' points='";
        for (size_t i = 0; i < frames.size(); ++i) {
            if (auto v = s.value(frames[i])) {
                svg << kLeft + kWidth * double(i) / lastFrame << ','
                    << top + kHeight * (1.0 - (*v - low) / (high - low)) << ' ';
            }
        }
        svg << "'/>\n<text x='" << legend << "' y='" << top - 6 << "' font-size='12' fill='"
            << s.colour << "'>" << s.label << "</text>\n";
        legend += 150;
    }
}

std::optional<double> celsius(const std::optional<int32_t>& milli) {
    if (!milli) {
        return std::nullopt;
    }
    return *milli / 1000.0;
}

}  // namespace

bool writeSvgChart(const std::string& path, const std::vector<FrameValues>& frames,
                   const std::string& title, std::string& error) {
    std::ofstream svg(path);
    if (!svg) {
        error = "cannot create " + path;
        return false;
    }
    svg << "<svg xmlns='http://www.w3.org/2000/svg' width='960' height='700' "
           "font-family='sans-serif'>\n<rect width='100%' height='100%' fill='white'/>\n"
        << "<text x='70' y='22' font-size='16'>" << title << " (" << frames.size()
        << " frames)</text>\n";
    drawPanel(svg, frames, 60, "temperatures (°C)",
              {{"ambient", "#888", [](const FrameValues& f) { return f.ambientC; }},
               {"FPA", "#d33", [](const FrameValues& f) { return celsius(f.fpaMilliC); }}});
    drawPanel(svg, frames, 280, "integration time, shutter requests ×10",
              {{"integration time", "#36c",
                [](const FrameValues& f) { return double(f.integrationTime); }},
               {"shutter requests", "#c80",
                [](const FrameValues& f) { return 10.0 * f.shutterRequests; }}});
    drawPanel(svg, frames, 500, "histogram bounds (counts), gain mode ×1000",
              {{"low", "#393", [](const FrameValues& f) { return double(f.histogramLow); }},
               {"high", "#939", [](const FrameValues& f) { return double(f.histogramHigh); }},
               {"gain mode", "#000", [](const FrameValues& f) -> std::optional<double> {
                    if (!f.gainMode) {
                        return std::nullopt;
                    }
                    return 1000.0 * *f.gainMode;
                }}});
    svg << "</svg>\n";
    if (!svg.flush()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace pictor_run
