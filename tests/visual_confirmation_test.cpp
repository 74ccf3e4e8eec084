// Visual confirmation through the daemon's API: a viewer starts the pictures
// of one profile, reads them from the event log as SVG documents while the
// scene simulator walks a person through the area, and stops them again; a
// new configuration of the viewed profile keeps them coming.
#include <glib.h>
#include <gtest/gtest.h>
#include <jansson.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "daemon_api_fixture.h"

namespace {

using dwtest::dump;
using dwtest::errorCode;
using dwtest::Json;
using dwtest::kEventLogPath;
using dwtest::request;
using dwtest::waitUntil;

constexpr const char* kDataEvent = "xinternal_data";
constexpr const char* kPictureKey = "svgframe";
constexpr const char* kEmptyPicture = "<svg><desc></desc></svg>";
constexpr const char* kAlarmStyle =
    "fill:#FF0000;fill-opacity:0.200000;stroke:#FF0000;stroke-width:0.005000;";
constexpr const char* kNoAlarmStyle =
    "fill:#00FF00;fill-opacity:0.200000;stroke:#00FF00;stroke-width:0.005000;";

// The viewer's matrices and the groups that carry their inverses.
constexpr const char* kShearMatrix = "[2, 1, 1, 0, 4, -2, 0, 0, 1]";
constexpr const char* kShearGroup =
    "matrix(1 0 0 -1 0 0) matrix(0.5000 0.0000 -0.1250 0.2500 -0.7500 0.5000 )";
constexpr const char* kScaleMatrix = "[2, 0, 0, 0, 2, 0, 0, 0, 1]";
constexpr const char* kScaleGroup =
    "matrix(1 0 0 -1 0 0) matrix(0.5000 0.0000 0.0000 0.5000 0.0000 0.0000 )";

// The walker of the scenario, in scene units: a 400 x 800 box whose lower
// left corner starts at (-1900, -1000) and moves 500 to the right per
// second, leaves the area, vanishes, and the scene stays empty for a while.
constexpr double kSceneUnit = 1.0 / 4096;
constexpr double kWalkerStartX = -1900;
constexpr double kWalkerBottom = -1000;
constexpr double kWalkerWidth = 400;
constexpr double kWalkerHeight = 800;
constexpr double kWalkerSpeed = 500;  // per second
constexpr int kIndividualSeconds = 5;
// Progress bars under each object: 500 long, 30 thick, 100 below its box.
constexpr double kBarLength = 500;
constexpr double kBarThickness = 30;
constexpr double kBarOffset = 100;
// How far a number printed with three decimals may lie from its value.
constexpr double kPrinted = 0.0011;

// Profile 1 on camera 1: an area over the middle of the image, halfWidth to
// either side and 0.9 up and down, with the individual condition.
std::string setConfiguration(double halfWidth) {
    const std::string left = std::to_string(-halfWidth);
    const std::string right = std::to_string(halfWidth);
    return request("setConfiguration",
                   R"({"cameras": [{"id": 1, "active": true, "rotation": 0}],
                      "profiles": [{"name": "Hall", "uid": 1, "camera": 1, "filters": [],
                        "alarmOverlayEnabled": false,
                        "triggers": [{"type": "loiteringArea",
                          "data": [[)" +
                       left + ", -0.9], [" + left + ", 0.9], [" + right + ", 0.9], [" + right +
                       R"(, -0.9]],
                          "conditions": [{"type": "individual", "data": )" +
                       std::to_string(kIndividualSeconds) + R"(, "active": true}]}]}]})");
}

std::string startVisualConfirmation(int profile, const std::string& transform) {
    return request("startVisualConfirmation", R"({"profile": )" + std::to_string(profile) +
                                                  R"(, "transform": )" + transform + "}");
}

bool isText(const json_t* value, const char* text) {
    return json_is_string(value) && std::string(json_string_value(value)) == text;
}

bool near(double value, double expected) {
    return std::fabs(value - expected) <= kPrinted;
}

// One element of a markup document, in document order.
struct MarkupElement {
    std::string name;
    int depth = 0;
    std::map<std::string, std::string> attributes;

    std::string attribute(const std::string& key) const {
        const auto it = attributes.find(key);
        return it != attributes.end() ? it->second : "";
    }
};

// The elements of a well-formed document; an error text otherwise.
struct MarkupDocument {
    std::vector<MarkupElement> elements;
    std::string error;
};

MarkupDocument parseMarkup(const std::string& text) {
    struct Reading {
        MarkupDocument document;
        int depth = 0;
    } reading;
    GMarkupParser parser{};
    parser.start_element = [](GMarkupParseContext*, const gchar* name, const gchar** names,
                              const gchar** values, gpointer data, GError**) {
        auto* state = static_cast<Reading*>(data);
        MarkupElement element{name, state->depth, {}};
        for (int i = 0; names[i] != nullptr; ++i) {
            element.attributes[names[i]] = values[i];
        }
        state->document.elements.push_back(std::move(element));
        ++state->depth;
    };
    parser.end_element = [](GMarkupParseContext*, const gchar*, gpointer data, GError**) {
        --static_cast<Reading*>(data)->depth;
    };
    GMarkupParseContext* context =
        g_markup_parse_context_new(&parser, static_cast<GMarkupParseFlags>(0), &reading, nullptr);
    GError* error = nullptr;
    if (!g_markup_parse_context_parse(context, text.c_str(), static_cast<gssize>(text.size()),
                                      &error) ||
        !g_markup_parse_context_end_parse(context, &error)) {
        reading.document.error = error->message;
        g_error_free(error);
    }
    g_markup_parse_context_free(context);
    return reading.document;
}

// A number printed with three decimals, such as -0.464.
std::optional<double> threeDecimals(const std::string& text) {
    const size_t point = text.find('.');
    if (point == std::string::npos || text.size() - point != 4) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        return std::nullopt;
    }
    return value;
}

struct SvgPoint {
    double x;
    double y;
};

// The points of a polygon: " x,y x,y ...".
std::optional<std::vector<SvgPoint>> readPoints(const std::string& text) {
    std::vector<SvgPoint> points;
    gchar** pairs = g_strsplit(text.c_str(), " ", -1);
    bool wellFormed = true;
    for (gchar** pair = pairs; *pair != nullptr && wellFormed; ++pair) {
        if (**pair == '\0') {
            continue;
        }
        const std::string coordinates = *pair;
        const size_t comma = coordinates.find(',');
        const auto x = threeDecimals(coordinates.substr(0, comma));
        const auto y = comma != std::string::npos ? threeDecimals(coordinates.substr(comma + 1))
                                                  : std::nullopt;
        wellFormed = x && y && std::fabs(*x) <= 1.0 && std::fabs(*y) <= 1.0;
        points.push_back({x.value_or(0), y.value_or(0)});
    }
    g_strfreev(pairs);
    if (!wellFormed || points.empty()) {
        return std::nullopt;
    }
    return points;
}

// An object's bounding box.
struct Box {
    double left;
    double bottom;
    double right;
    double top;
    bool alarm;
};

// A progress bar: the whole bar and the width of its filled part.
struct ProgressBar {
    double x;
    double y;
    double length;
    double thickness;
    double filled;
};

// What a picture shows, read from its markup.
struct Picture {
    bool empty = false;
    std::string transform;
    std::vector<Box> boxes;
    std::vector<std::vector<SvgPoint>> areas;
    std::vector<ProgressBar> bars;
};

::testing::AssertionResult readPolygon(const MarkupElement& element, Picture& picture) {
    const auto points = readPoints(element.attribute("points"));
    if (!points) {
        return ::testing::AssertionFailure() << "bad points: " << element.attribute("points");
    }
    const std::string style = element.attribute("style");
    if (element.attribute("class") == "loiteringArea" && style == kAlarmStyle) {
        picture.areas.push_back(*points);
        return ::testing::AssertionSuccess();
    }
    const auto& p = *points;
    const bool isBox = element.attributes.count("class") == 1 &&
                       element.attribute("class").empty() && p.size() == 4 && p[0].x == p[3].x &&
                       p[1].x == p[2].x && p[0].y == p[1].y && p[2].y == p[3].y &&
                       p[0].x < p[1].x && p[0].y < p[2].y;
    if (!isBox || (style != kAlarmStyle && style != kNoAlarmStyle)) {
        return ::testing::AssertionFailure() << "neither a bounding box nor the area";
    }
    picture.boxes.push_back({p[0].x, p[0].y, p[2].x, p[2].y, style == kAlarmStyle});
    return ::testing::AssertionSuccess();
}

// The whole bar (dark blue) and then its filled part (red) at the same place.
::testing::AssertionResult readProgressBar(const MarkupElement& whole, const MarkupElement& part,
                                           Picture& picture) {
    std::map<std::string, double> numbers[2];
    const MarkupElement* rects[2] = {&whole, &part};
    for (int i = 0; i < 2; ++i) {
        for (const char* key : {"width", "height", "x", "y"}) {
            const auto value = threeDecimals(rects[i]->attribute(key));
            if (!value) {
                return ::testing::AssertionFailure() << "bad rect " << key;
            }
            numbers[i][key] = *value;
        }
    }
    if (part.name != "rect" || part.attribute("fill") != "red" ||
        numbers[1]["height"] != numbers[0]["height"] || numbers[1]["x"] != numbers[0]["x"] ||
        numbers[1]["y"] != numbers[0]["y"]) {
        return ::testing::AssertionFailure() << "the bar's filled part does not follow it";
    }
    picture.bars.push_back({numbers[0]["x"], numbers[0]["y"], numbers[0]["width"],
                            numbers[0]["height"], numbers[1]["width"]});
    return ::testing::AssertionSuccess();
}

// Reads a picture: the document element, the viewer's group and in it the
// boxes, areas and progress bars; or the empty picture.
::testing::AssertionResult readPicture(const std::string& text, Picture& picture) {
    const MarkupDocument document = parseMarkup(text);
    if (!document.error.empty()) {
        return ::testing::AssertionFailure() << "not well-formed: " << document.error;
    }
    const std::vector<MarkupElement>& elements = document.elements;
    if (elements.empty() || elements[0].name != "svg" ||
        std::any_of(elements.begin() + 1, elements.end(),
                    [](const MarkupElement& element) { return element.depth == 0; })) {
        return ::testing::AssertionFailure() << "not one svg document";
    }
    const MarkupElement& root = elements[0];
    if (elements.size() == 2 && elements[1].name == "desc" && root.attributes.empty()) {
        picture.empty = true;
        return text == kEmptyPicture ? ::testing::AssertionSuccess()
                                     : ::testing::AssertionFailure() << "unusual empty picture";
    }
    if (root.attribute("xmlns") != "http://www.w3.org/2000/svg" ||
        root.attribute("version") != "1.1" || root.attribute("viewBox") != "-1 -1 2 2" ||
        root.attribute("preserveAspectRatio") != "none") {
        return ::testing::AssertionFailure() << "unexpected svg attributes";
    }
    if (elements.size() < 2 || elements[1].name != "g" || elements[1].depth != 1) {
        return ::testing::AssertionFailure() << "no group";
    }
    picture.transform = elements[1].attribute("transform");
    for (size_t i = 2; i < elements.size(); ++i) {
        const MarkupElement& element = elements[i];
        ::testing::AssertionResult read = ::testing::AssertionFailure() << "unexpected element";
        if (element.depth != 2) {
            read << " outside the group";
        } else if (element.name == "polygon") {
            read = readPolygon(element, picture);
        } else if (element.name == "rect" && element.attribute("fill") == "darkblue" &&
                   i + 1 < elements.size()) {
            read = readProgressBar(element, elements[i + 1], picture);
            ++i;
        }
        if (!read) {
            return read << " (" << element.name << " " << i << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// Follows the walker through the pictures of one viewer and checks each
// picture: the viewer's group, the walker's box where the scenario puts it,
// its progress bar under it, filled by its time in the area from the first
// frame of its walk, the alarm style exactly when the bar is full, the area
// while the alarm lasts, and runs of empty frames sent once.
class WalkerPictures {
  public:
    WalkerPictures(std::string transform, double areaHalfWidth)
        : m_transform(std::move(transform)), m_areaHalfWidth(areaHalfWidth) {}

    ::testing::AssertionResult add(const std::string& text) {
        Picture picture;
        ::testing::AssertionResult read = readPicture(text, picture);
        if (!read) {
            return read;
        }
        if (picture.empty) {
            return addEmpty();
        }
        m_lastWasEmpty = false;
        if (picture.transform != m_transform) {
            return ::testing::AssertionFailure() << "group transform " << picture.transform;
        }
        for (const std::vector<SvgPoint>& area : picture.areas) {
            if (!isConfiguredArea(area)) {
                return ::testing::AssertionFailure() << "not the configured area";
            }
            ++m_areas;
        }
        if (picture.boxes.size() > 1 || picture.bars.size() > picture.boxes.size()) {
            return ::testing::AssertionFailure() << "more than the walker";
        }
        if (picture.boxes.empty()) {
            return ::testing::AssertionSuccess();
        }
        const ProgressBar* bar = picture.bars.empty() ? nullptr : &picture.bars[0];
        ::testing::AssertionResult walker = checkWalker(picture.boxes[0], bar);
        if (walker && picture.boxes[0].alarm && picture.areas.empty()) {
            return ::testing::AssertionFailure() << "an alarm without the area";
        }
        return walker;
    }

    // Walks seen from their first frame, through partial and full bars, to
    // the empty scene after them.
    int wholeWalks() const { return m_wholeWalks; }
    int areas() const { return m_areas; }
    size_t walkerPositions() const { return m_positions.size(); }

    std::string summary() const {
        return std::to_string(m_wholeWalks) + " whole walks, " + std::to_string(m_areas) +
               " areas, " + std::to_string(m_emptyPictures) + " empty pictures, " +
               std::to_string(m_positions.size()) + " walker positions";
    }

  private:
    ::testing::AssertionResult addEmpty() {
        if (m_lastWasEmpty) {
            return ::testing::AssertionFailure() << "an empty frame sent twice in a row";
        }
        m_lastWasEmpty = true;
        ++m_emptyPictures;
        if (m_followingWalk && m_partialBars >= 3 && m_fullBars >= 1) {
            ++m_wholeWalks;
        }
        m_followingWalk = false;
        return ::testing::AssertionSuccess();
    }

    bool isConfiguredArea(const std::vector<SvgPoint>& area) const {
        const double w = m_areaHalfWidth;
        const std::vector<SvgPoint> corners = {{-w, -0.9}, {-w, 0.9}, {w, 0.9}, {w, -0.9}};
        return area.size() == corners.size() &&
               std::equal(area.begin(), area.end(), corners.begin(),
                          [](const SvgPoint& a, const SvgPoint& b) {
                              return near(a.x, b.x) && near(a.y, b.y);
                          });
    }

    ::testing::AssertionResult checkWalker(const Box& box, const ProgressBar* bar) {
        if (!near(box.right - box.left, kWalkerWidth * kSceneUnit) ||
            !near(box.top - box.bottom, kWalkerHeight * kSceneUnit) ||
            !near(box.bottom, kWalkerBottom * kSceneUnit)) {
            return ::testing::AssertionFailure() << "not the walker's box";
        }
        m_positions.insert(box.left);
        if (near(box.left, kWalkerStartX * kSceneUnit)) {
            m_followingWalk = true;
            m_partialBars = 0;
            m_fullBars = 0;
        }
        if (bar == nullptr) {
            return box.alarm ? ::testing::AssertionFailure() << "an alarm without a bar"
                             : ::testing::AssertionSuccess();
        }
        if (!near(bar->length, kBarLength * kSceneUnit) ||
            !near(bar->thickness, kBarThickness * kSceneUnit) || !near(bar->x, box.left) ||
            !near(bar->y, box.bottom - kBarOffset * kSceneUnit) || bar->filled < 0 ||
            bar->filled > bar->length) {
            return ::testing::AssertionFailure() << "the bar is not under the walker or overfilled";
        }
        const bool full = bar->filled == bar->length;  // the same printed number
        if (box.alarm != full) {
            return ::testing::AssertionFailure()
                   << "alarm style " << box.alarm << " with a bar of " << bar->filled;
        }
        if (!m_followingWalk) {
            return ::testing::AssertionSuccess();  // its time started before the pictures
        }
        const double seconds = (box.left / kSceneUnit - kWalkerStartX) / kWalkerSpeed;
        const double expected = std::min(seconds / kIndividualSeconds, 1.0) * bar->length;
        if (!near(bar->filled, expected)) {
            return ::testing::AssertionFailure() << "after " << seconds << " s the bar is filled "
                                                 << bar->filled << ", not " << expected;
        }
        if (full) {
            ++m_fullBars;
        } else {
            ++m_partialBars;
        }
        return ::testing::AssertionSuccess();
    }

    std::string m_transform;
    double m_areaHalfWidth;
    bool m_lastWasEmpty = false;
    bool m_followingWalk = false;  // the current walk was seen from its start
    int m_partialBars = 0;
    int m_fullBars = 0;
    int m_wholeWalks = 0;
    int m_areas = 0;
    int m_emptyPictures = 0;
    std::set<double> m_positions;
};

// One line of the platform's event log.
struct LoggedEvent {
    std::string op;  // "declare", "send" or "undeclare"
    json_int_t id = 0;
    Json entry;

    // The text sent under the picture key; nullopt for other lines.
    std::optional<std::string> picture() const {
        const json_t* text = json_object_get(json_object_get(entry.get(), "values"), kPictureKey);
        if (op != "send" || !json_is_string(text)) {
            return std::nullopt;
        }
        return std::string(json_string_value(text));
    }

    // A send of an alarm event with that state.
    bool alarmState(bool active) const {
        const json_t* state = json_object_get(json_object_get(entry.get(), "values"), "active");
        return op == "send" && json_is_boolean(state) && json_is_true(state) == active;
    }

    // A declaration of the data event with the picture key.
    bool declaresPictures() const {
        bool named = false;
        bool hasKey = false;
        const json_t* keys = json_object_get(entry.get(), "keys");
        for (size_t i = 0; i < json_array_size(keys); ++i) {
            const json_t* key = json_array_get(keys, i);
            named |= isText(json_object_get(key, "value"), kDataEvent);
            hasKey |= isText(json_object_get(key, "key"), kPictureKey);
        }
        return op == "declare" && named && hasKey;
    }
};

// The daemon on the callback transport, serving its API on a free port,
// with the scene simulator playing the walk-through in a loop at ten times
// its speed.
class VisualConfirmation : public dwtest::DaemonApiFixture {
  protected:
    VisualConfirmation() : DaemonApiFixture({WALK_THROUGH_SCENARIO, "--loop", "--speed", "10"}) {}

    // The "data" of a successful answer; the whole answer otherwise.
    std::string answerData(const std::string& body) const {
        Json answer = ask(body);
        const json_t* data = json_object_get(answer.get(), "data");
        return data != nullptr && errorCode(answer.get()) == "none" ? dump(data)
                                                                    : dump(answer.get());
    }

    std::vector<LoggedEvent> eventLog() const {
        std::vector<LoggedEvent> events;
        for (const std::string& line : m_root.readLines(kEventLogPath)) {
            Json entry(json_loads(line.c_str(), 0, nullptr));
            const char* op = json_string_value(json_object_get(entry.get(), "op"));
            EXPECT_NE(op, nullptr) << line;
            const json_int_t id = json_integer_value(json_object_get(entry.get(), "id"));
            events.push_back({op != nullptr ? op : "", id, std::move(entry)});
        }
        return events;
    }

    // The line of the latest declaration of the picture event.
    std::optional<size_t> pictureDeclaration() const {
        const std::vector<LoggedEvent> events = eventLog();
        for (size_t i = events.size(); i-- > 0;) {
            if (events[i].declaresPictures()) {
                return i;
            }
        }
        return std::nullopt;
    }

    // Feeds the pictures sent from a line on until done() holds; fails at the
    // first picture that is not as expected or not sent under the declaration,
    // or at the time-out.
    ::testing::AssertionResult followPictures(size_t from, json_int_t declaration,
                                              WalkerPictures& pictures,
                                              const std::function<bool()>& done,
                                              int timeoutMs) const {
        size_t next = from;
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        const bool finished = waitUntil(
            [&] {
                const std::vector<LoggedEvent> events = eventLog();
                for (; next < events.size() && result; ++next) {
                    if (const auto text = events[next].picture()) {
                        result = events[next].id == declaration
                                     ? pictures.add(*text)
                                     : ::testing::AssertionFailure() << "another declaration";
                        result << "\nline " << next << ": " << *text;
                    }
                }
                return !result || done();
            },
            timeoutMs);
        if (result && !finished) {
            return ::testing::AssertionFailure() << "time-out; " << pictures.summary();
        }
        return result;
    }
};

TEST_F(VisualConfirmation, PicturesFollowTheViewedProfileUntilStopped) {
    ASSERT_EQ(answerData(setConfiguration(0.5)), "{}");

    // Refused starts declare nothing.
    EXPECT_EQ(errorCode(ask(startVisualConfirmation(7, kShearMatrix)).get()), "2002");
    EXPECT_EQ(errorCode(ask(request("startVisualConfirmation", R"({"profile": 1})")).get()),
              "2003");
    EXPECT_EQ(errorCode(ask(startVisualConfirmation(1, "[2, 1, 1, 0, 4, -2, 0, 0]")).get()),
              "2003");
    EXPECT_FALSE(pictureDeclaration());

    ASSERT_EQ(answerData(startVisualConfirmation(1, kShearMatrix)), "{}");
    const std::optional<size_t> declarationLine = pictureDeclaration();
    ASSERT_TRUE(declarationLine) << m_root.readFile(kEventLogPath);
    const json_int_t declaration = eventLog()[*declarationLine].id;

    WalkerPictures pictures(kShearGroup, 0.5);
    ASSERT_TRUE(followPictures(
        *declarationLine, declaration, pictures, [&] { return pictures.wholeWalks() >= 1; },
        10000));
    EXPECT_GT(pictures.areas(), 0);
    EXPECT_GT(pictures.walkerPositions(), 20u);

    const size_t beforeStop = eventLog().size();
    ASSERT_EQ(answerData(request("stopVisualConfirmation")), "{}");
    // The event is undeclared, and frames keep coming: an alarm starts and
    // ends again afterwards.
    const auto undeclaredAndAlarmsGoOn = [&] {
        const std::vector<LoggedEvent> events = eventLog();
        const auto undeclaration = std::find_if(
            events.begin() + static_cast<std::ptrdiff_t>(beforeStop), events.end(),
            [&](const LoggedEvent& e) { return e.op == "undeclare" && e.id == declaration; });
        const auto start = std::find_if(undeclaration, events.end(),
                                        [](const LoggedEvent& e) { return e.alarmState(true); });
        return std::any_of(start, events.end(),
                           [](const LoggedEvent& e) { return e.alarmState(false); });
    };
    ASSERT_TRUE(waitUntil(undeclaredAndAlarmsGoOn, 10000)) << m_root.readFile(kEventLogPath);

    // The last picture is the empty text, sent before the undeclaration.
    const std::vector<LoggedEvent> events = eventLog();
    std::optional<size_t> lastPicture;
    for (size_t i = beforeStop; i < events.size(); ++i) {
        if (events[i].picture()) {
            lastPicture = i;
        }
    }
    ASSERT_TRUE(lastPicture);
    EXPECT_EQ(*events[*lastPicture].picture(), "");
    EXPECT_EQ(events[*lastPicture].id, declaration);
    for (size_t i = beforeStop; i < *lastPicture; ++i) {
        EXPECT_NE(events[i].op, "undeclare");
    }

    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

TEST_F(VisualConfirmation, ANewConfigurationOfTheViewedProfileKeepsThePicturesComing) {
    ASSERT_EQ(answerData(setConfiguration(0.5)), "{}");
    ASSERT_EQ(answerData(startVisualConfirmation(1, kScaleMatrix)), "{}");
    const std::optional<size_t> declarationLine = pictureDeclaration();
    ASSERT_TRUE(declarationLine) << m_root.readFile(kEventLogPath);
    const json_int_t declaration = eventLog()[*declarationLine].id;
    WalkerPictures before(kScaleGroup, 0.5);
    ASSERT_TRUE(followPictures(
        *declarationLine, declaration, before, [&] { return before.walkerPositions() > 0; }, 5000));

    const size_t beforeChange = eventLog().size();
    ASSERT_EQ(answerData(setConfiguration(0.6)), "{}");
    const size_t afterChange = eventLog().size();

    // The new guard draws the new area once its walker alarms.
    WalkerPictures after(kScaleGroup, 0.6);
    ASSERT_TRUE(followPictures(
        afterChange, declaration, after,
        [&] { return after.areas() > 0 && after.walkerPositions() > 10; }, 10000));

    // During the change at most the old guard's disabling text came, and the
    // event stayed declared throughout.
    const std::vector<LoggedEvent> events = eventLog();
    int emptyTexts = 0;
    for (size_t i = beforeChange; i < events.size(); ++i) {
        EXPECT_FALSE(events[i].op == "undeclare" && events[i].id == declaration) << i;
        if (i < afterChange && events[i].picture()) {
            EXPECT_EQ(events[i].id, declaration) << i;
            emptyTexts += events[i].picture()->empty() ? 1 : 0;
        }
    }
    EXPECT_LE(emptyTexts, 1);

    EXPECT_EQ(m_daemon.terminate(SIGTERM), 0) << m_daemon.log();
}

}  // namespace
