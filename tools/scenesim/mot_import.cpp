#include "mot_import.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "scene.h"

namespace scenesim {

namespace {

struct MotBox {
    long frame;
    int32_t id;
    double left, top, width, height;
};

constexpr double kSceneHalf = 4096.0;

int16_t toScene(double fraction, bool upwards) {
    const double value =
        upwards ? kSceneHalf - fraction * 2 * kSceneHalf : fraction * 2 * kSceneHalf - kSceneHalf;
    return static_cast<int16_t>(std::lround(std::clamp(value, -kSceneHalf, kSceneHalf)));
}

MotBox parseLine(const std::string& line) {
    std::string text = line;
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream fields(text);
    MotBox box{};
    double frame = 0, id = 0;
    if (!(fields >> frame >> id >> box.left >> box.top >> box.width >> box.height) || frame < 1 ||
        frame > 1e7 || id < 0 || id > INT32_MAX || box.width < 0 || box.height < 0) {
        throw std::runtime_error("not a MOT box line");
    }
    box.frame = static_cast<long>(frame);
    box.id = static_cast<int32_t>(id);
    return box;
}

ScenarioObject toObject(const MotBox& box, const MotImage& image) {
    const int16_t x0 = toScene(box.left / image.width, false);
    const int16_t x1 = toScene((box.left + box.width) / image.width, false);
    const int16_t y0 = toScene((box.top + box.height) / image.height, true);
    const int16_t y1 = toScene(box.top / image.height, true);
    ScenarioObject object;
    object.id = box.id;
    object.outline = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    return object;
}

}  // namespace

Scenario importMot(std::istream& in, const MotImage& image) {
    if (image.width <= 0 || image.height <= 0 || !(image.fps > 0)) {
        throw std::runtime_error("MOT import needs a positive image size and frame rate");
    }
    std::map<long, std::vector<MotBox>> boxesByFrame;
    std::map<int32_t, long> lastFrameOfTrack;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        try {
            const MotBox box = parseLine(line);
            boxesByFrame[box.frame].push_back(box);
            long& last = lastFrameOfTrack[box.id];
            last = std::max(last, box.frame);
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
        }
    }
    if (boxesByFrame.empty()) {
        return {};
    }
    std::map<long, std::vector<int32_t>> endsByFrame;
    for (const auto& [id, last] : lastFrameOfTrack) {
        endsByFrame[last + 1].push_back(id);
    }
    Scenario scenario;
    const long lastFrame = boxesByFrame.rbegin()->first + 1;
    for (long frameNumber = 1; frameNumber <= lastFrame; ++frameNumber) {
        ScenarioFrame frame;
        frame.channel = image.channel;
        frame.timeUs = std::llround(static_cast<double>(frameNumber - 1) * 1e6 / image.fps);
        for (const MotBox& box : boxesByFrame[frameNumber]) {
            frame.objects.push_back(toObject(box, image));
        }
        if (const auto ends = endsByFrame.find(frameNumber); ends != endsByFrame.end()) {
            frame.events.push_back({SCENE_ACTION_DELETE, ends->second, {}});
        }
        scenario.push_back(std::move(frame));
    }
    return scenario;
}

Scenario importMotFile(const std::string& path, const MotImage& image) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return importMot(in, image);
}

}  // namespace scenesim
