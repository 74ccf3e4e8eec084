#include "scenario_reader.h"

#include <jansson.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "scene.h"

namespace scenesim {

namespace {

using JsonPtr = std::unique_ptr<json_t, decltype(&json_decref)>;

constexpr json_int_t kSceneMin = -4096;
constexpr json_int_t kSceneMax = 4096;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

json_int_t integerIn(const json_t* value, json_int_t min, json_int_t max, const char* what) {
    if (!json_is_integer(value)) {
        fail(std::string(what) + " must be an integer");
    }
    const json_int_t number = json_integer_value(value);
    if (number < min || number > max) {
        fail(std::string(what) + " out of range");
    }
    return number;
}

int16_t coordinate(const json_t* value) {
    return static_cast<int16_t>(integerIn(value, kSceneMin, kSceneMax, "coordinate"));
}

std::vector<scene::Point16> boxOutline(const json_t* box) {
    if (!json_is_array(box) || json_array_size(box) != 4) {
        fail("box must be [x0,y0,x1,y1]");
    }
    const int16_t x0 = coordinate(json_array_get(box, 0));
    const int16_t y0 = coordinate(json_array_get(box, 1));
    const int16_t x1 = coordinate(json_array_get(box, 2));
    const int16_t y1 = coordinate(json_array_get(box, 3));
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

std::vector<scene::Point16> polygon(const json_t* points) {
    if (!json_is_array(points)) {
        fail("polygon must be a list of [x,y]");
    }
    std::vector<scene::Point16> outline;
    size_t index = 0;
    const json_t* point = nullptr;
    json_array_foreach(points, index, point) {
        if (!json_is_array(point) || json_array_size(point) != 2) {
            fail("polygon point must be [x,y]");
        }
        outline.push_back(
            {coordinate(json_array_get(point, 0)), coordinate(json_array_get(point, 1))});
    }
    return outline;
}

std::vector<int32_t> ids(const json_t* list, const char* what) {
    std::vector<int32_t> result;
    if (list == nullptr) {
        return result;
    }
    if (!json_is_array(list)) {
        fail(std::string(what) + " must be a list of ids");
    }
    size_t index = 0;
    const json_t* id = nullptr;
    json_array_foreach(list, index, id) {
        result.push_back(static_cast<int32_t>(integerIn(id, INT32_MIN, INT32_MAX, "id")));
    }
    return result;
}

ScenarioObject object(const json_t* value) {
    if (!json_is_object(value)) {
        fail("object must be a JSON object");
    }
    ScenarioObject result;
    result.id = static_cast<int32_t>(integerIn(json_object_get(value, "id"), 0, INT32_MAX, "id"));
    const json_t* box = json_object_get(value, "box");
    const json_t* outline = json_object_get(value, "polygon");
    if ((box == nullptr) == (outline == nullptr)) {
        fail("object needs either box or polygon");
    }
    result.outline = box != nullptr ? boxOutline(box) : polygon(outline);
    if (const json_t* velocity = json_object_get(value, "velocity")) {
        if (!json_is_array(velocity) || json_array_size(velocity) != 2) {
            fail("velocity must be [vx,vy]");
        }
        result.velocity = std::array<int32_t, 2>{
            static_cast<int32_t>(
                integerIn(json_array_get(velocity, 0), INT32_MIN, INT32_MAX, "velocity")),
            static_cast<int32_t>(
                integerIn(json_array_get(velocity, 1), INT32_MIN, INT32_MAX, "velocity"))};
    }
    if (const json_t* confidence = json_object_get(value, "confidence")) {
        result.confidence =
            static_cast<int16_t>(integerIn(confidence, INT16_MIN, INT16_MAX, "confidence"));
    }
    return result;
}

uint8_t action(const json_t* value) {
    const char* name = json_string_value(value);
    const std::string text = name != nullptr ? name : "";
    if (text == "delete") {
        return SCENE_ACTION_DELETE;
    }
    if (text == "split") {
        return SCENE_ACTION_SPLIT;
    }
    if (text == "merge") {
        return SCENE_ACTION_MERGE;
    }
    fail("action must be delete, merge or split");
}

scene::EventRecord event(const json_t* value) {
    if (!json_is_object(value)) {
        fail("event must be a JSON object");
    }
    scene::EventRecord result;
    result.action = action(json_object_get(value, "action"));
    result.ids = ids(json_object_get(value, "ids"), "ids");
    result.secondIds = ids(json_object_get(value, "ids2"), "ids2");
    return result;
}

template <typename Item, typename Read>
std::vector<Item> list(const json_t* frame, const char* key, Read read) {
    std::vector<Item> result;
    const json_t* items = json_object_get(frame, key);
    if (items == nullptr) {
        return result;
    }
    if (!json_is_array(items)) {
        fail(std::string(key) + " must be a list");
    }
    size_t index = 0;
    const json_t* item = nullptr;
    json_array_foreach(items, index, item) {
        result.push_back(read(item));
    }
    return result;
}

ScenarioFrame frame(const std::string& line) {
    json_error_t error;
    const JsonPtr root(json_loads(line.c_str(), 0, &error), &json_decref);
    if (!root || !json_is_object(root.get())) {
        fail(std::string("not a JSON object: ") + error.text);
    }
    ScenarioFrame result;
    result.timeUs = integerIn(json_object_get(root.get(), "t_us"), 0, INT64_MAX / 1000, "t_us");
    if (const json_t* channel = json_object_get(root.get(), "channel")) {
        result.channel = static_cast<int>(integerIn(channel, 1, 64, "channel"));
    }
    result.objects = list<ScenarioObject>(root.get(), "objects", object);
    result.events = list<scene::EventRecord>(root.get(), "events", event);
    return result;
}

}  // namespace

Scenario readScenario(std::istream& in) {
    Scenario scenario;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        try {
            scenario.push_back(frame(line));
        } catch (const std::runtime_error& e) {
            fail("line " + std::to_string(number) + ": " + e.what());
        }
    }
    return scenario;
}

Scenario readScenarioFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        fail("cannot read " + path);
    }
    return readScenario(in);
}

}  // namespace scenesim
