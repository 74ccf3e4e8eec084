#include "dwellwatch/dw_guard_factory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/application.h"
#include "config/configuration_parser.h"
#include "config/json_auto_ptr.h"
#include "config/json_parser.h"
#include "config_test_support.h"
#include "dwellwatch/dwellwatch_guard.h"
#include "scene_script.h"

namespace {

using guardtest::kSecond;
using guardtest::square;

const bool kDevice = configtest::runOnDevice(configtest::kSingleChannelDevice);

// A valid profile: the loitering area is the middle quarter of the view,
// the individual condition of 4 s is active.
const char* const kProfile = R"({
    "name": "Gate", "uid": 4, "camera": 1, "filters": [],
    "triggers": [{"type": "loiteringArea",
                  "data": [[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]],
                  "conditions": [{"type": "individual", "data": 4, "active": true},
                                 {"type": "group", "data": 160, "active": false}]}]})";

const char* const kBars = R"([{"type": "bar", "height": 180, "data": [[0, -0.8], [0, -0.4]]},
                             {"type": "bar", "height": 180, "data": [[0, 0.4], [0, 0.6]]}])";

// The base profile with members replaced or added (JSON texts by key).
JsonAutoPtr profileWith(const std::vector<std::pair<std::string, std::string>>& members) {
    JsonAutoPtr profile(JsonParser::decode(kProfile));
    for (const auto& member : members) {
        json_t* value = json_loads(member.second.c_str(), JSON_DECODE_ANY, nullptr);
        EXPECT_NE(value, nullptr) << member.second;
        json_object_set_new(profile.get(), member.first.c_str(), value);
    }
    return profile;
}

std::string trigger(const std::string& points, const std::string& conditions) {
    return R"([{"type": "loiteringArea", "data": )" + points + R"(, "conditions": )" + conditions +
           "}]";
}

const std::string kSquare = "[[-0.5, -0.5], [-0.5, 0.5], [0.5, 0.5], [0.5, -0.5]]";

std::string conditions(const std::string& type, int seconds, bool active) {
    return R"([{"type": ")" + type + R"(", "data": )" + std::to_string(seconds) +
           R"(, "active": )" + (active ? "true" : "false") + "}]";
}

struct Refusal {
    std::vector<std::pair<std::string, std::string>> members;
    const char* message;
    StatusCode_e code;
};

void expectRefused(const Refusal& refusal, const DataBoundaries& boundaries) {
    const JsonAutoPtr profile = profileWith(refusal.members);
    configtest::LogCapture log;
    const DW_GuardFactory factory(*profile.get(), 0, boundaries);
    const std::string logged = log.take();
    EXPECT_EQ(factory.getStatus(), refusal.code) << refusal.message;
    EXPECT_NE(logged.find(std::string(refusal.message) + "\n"), std::string::npos)
        << "expected: " << refusal.message << "\nlogged: " << logged;
}

TEST(DW_GuardFactory, ReadsAValidProfile) {
    const JsonAutoPtr profile = profileWith(
        {{"name", R"("  Back gate  ")"},
         {"xinternalEventDuration", "5000000"},
         {"alarmOverlayEnabled", "true"},
         {"filters", R"([{"type": "excludeArea", "data": [[0, 0], [0, 0.2], [0.2, 0]]},
                        {"type": "distanceSwayingObject", "data": 3, "active": false}])"},
         {"triggers", trigger(kSquare, R"([{"type": "individual", "data": 120, "active": true},
                                          {"type": "group", "data": 160, "active": false}])")}});
    const DW_GuardFactory factory(*profile.get(), 90, Application::getDataBoundaries());
    ASSERT_EQ(factory.getStatus(), STATUS_OK);
    EXPECT_EQ(factory.getName(), "Back gate");
    EXPECT_EQ(factory.getUid(), 4);
    EXPECT_EQ(factory.getCamera(), 1);
    EXPECT_TRUE(factory.isAlarmOverlayEnabled());
    EXPECT_EQ(factory.getEventDuration(), 5000000);
    EXPECT_EQ(factory.getIndividualTime(), 120000000);
    EXPECT_EQ(factory.getGroupTime(), 0);
    EXPECT_TRUE(factory.getPresets().empty());  // not a PTZ device

    const JsonAutoPtr plain(JsonParser::decode(kProfile));
    const DW_GuardFactory defaults(*plain.get(), 0, Application::getDataBoundaries());
    EXPECT_EQ(defaults.getEventDuration(), 3000000);
    EXPECT_FALSE(defaults.isAlarmOverlayEnabled());
}

TEST(DW_GuardFactory, NamesUpToFifteenCharactersWithoutAngleBrackets) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    const JsonAutoPtr utf8 = profileWith({{"name", R"("ÅÄÖåäöÅÄÖåäöÅÄÖ")"}});
    EXPECT_EQ(DW_GuardFactory(*utf8.get(), 0, boundaries).getStatus(), STATUS_OK);
    for (const char* name : {R"("Sixteen chars ok")", R"("<b>")", R"("a>b")", R"("   ")"}) {
        expectRefused(
            {{{"name", name}}, "The name of the profile is not valid", STATUS_INVALID_PARAMETER},
            boundaries);
    }
}

TEST(DW_GuardFactory, ProfileFiltersAndPerspectiveRefusals) {
    const std::vector<Refusal> refusals = {
        {{{"name", "7"}}, "Could not unpack data for the guard", STATUS_MISSING_PARAMETER},
        {{{"filters", "{}"}}, "Could not find the 'filters' tag", STATUS_MISSING_PARAMETER},
        {{{"filters", R"([{"data": 5}])"}},
         "Could not unpack exclusion filter name",
         STATUS_MISSING_PARAMETER},
        {{{"filters", R"([{"type": "timeShortLivedLimit", "data": 5, "active": true}])"}},
         "Unknown exclusion filter: timeShortLivedLimit",
         STATUS_INVALID_PARAMETER},
        {{{"filters", R"([{"type": "sizePercentage", "data": [5], "active": true}])"}},
         "Could not unpack a size filter percent",
         STATUS_MISSING_PARAMETER},
        {{{"filters", R"([{"type": "sizePercentage", "data": [5, 101], "active": false}])"}},
         "Incorrect parameter value for size filter percent",
         STATUS_INVALID_PARAMETER},
        {{{"filters", R"([{"type": "sizePerspective", "data": [-1, 5], "active": false}])"}},
         "Incorrect parameter value for size filter perspective",
         STATUS_INVALID_PARAMETER},
        {{{"filters", R"([{"type": "sizePerspective", "data": [50, 50], "active": false}])"}},
         "There must be at least two perspective bars",
         STATUS_CONTRADICTION},
        {{{"perspective", kBars},
          {"filters", R"([{"type": "sizePercentage", "data": [5, 5], "active": true},
                          {"type": "sizePerspective", "data": [50, 50], "active": true}])"}},
         "Only one type of size filter can be active",
         STATUS_CONTRADICTION},
        {{{"filters", R"([{"type": "distanceSwayingObject", "data": 2, "active": true}])"}},
         "Incorrect parameter value for swaying filter percent",
         STATUS_INVALID_PARAMETER},
        {{{"filters", R"([{"type": "excludeArea", "data": {}}])"}},
         "Could not get the data for an exclude area",
         STATUS_INVALID_PARAMETER},
        {{{"filters", R"([{"type": "excludeArea", "data": [[0, 0], [0, 0.1], [0.1, 0]]},
                          {"type": "excludeArea", "data": [[0, 0], [0, 0.1], [0.1, 0]]},
                          {"type": "excludeArea", "data": [[0, 0], [0, 0.1], [0.1, 0]]},
                          {"type": "excludeArea", "data": [[0, 0], [0, 0.1], [0.1, 0]]}])"}},
         "The configuration contains too many exclude areas",
         STATUS_INVALID_PARAMETER},
        {{{"perspective", R"([{"type": "bar", "height": 180, "data": [[0, -0.8], [0, -0.4]]}])"}},
         "There must be at least two perspective bars",
         STATUS_CONTRADICTION},
        {{{"perspective", R"([{"type": "line", "height": 180, "data": [[0, 0], [0, 1]]}])"}},
         "Unknown type of perspective.",
         STATUS_INVALID_PARAMETER},
        {{{"perspective", R"([{"type": "bar", "data": [[0, 0], [0, 1]]}])"}},
         "Could not unpack a perspective bar",
         STATUS_MISSING_PARAMETER},
        {{{"perspective", R"([{"type": "bar", "height": 1, "data": [[0, 0], [0, 1.5]]}])"}},
         "Incorrect perspective point value",
         STATUS_INVALID_PARAMETER},
        {{{"alarmOverlayEnabled", R"("yes")"}},
         "Could not parse the alarmOverlayEnabled field",
         STATUS_MISSING_PARAMETER},
        {{{"presets", "[]"}},
         "This device is a non-ptz device and the configuration should not contain any presets",
         STATUS_CONTRADICTION},
    };
    for (const Refusal& refusal : refusals) {
        expectRefused(refusal, Application::getDataBoundaries());
    }
}

TEST(DW_GuardFactory, TriggerAndConditionRefusals) {
    const std::string eleven =
        "[[0, 0], [0.1, 0], [0.2, 0], [0.3, 0], [0.4, 0], [0.5, 0], [0.5, 0.1], [0.4, 0.2], "
        "[0.3, 0.3], [0.2, 0.4], [0.1, 0.5]]";
    const std::vector<Refusal> refusals = {
        {{{"triggers", "{}"}}, "Could not find the 'triggers' tag", STATUS_MISSING_PARAMETER},
        {{{"triggers", "[]"}}, "Could not find any triggers", STATUS_CONTRADICTION},
        {{{"triggers", R"([{"data": []}])"}},
         "Could not unpack trigger name",
         STATUS_MISSING_PARAMETER},
        {{{"triggers", R"([{"type": "includeArea", "data": []}])"}},
         "Missing boundary values for the include area triggers",
         STATUS_INTERNAL},
        {{{"triggers", R"([{"type": "fence", "data": []}])"}},
         "Missing boundary values for fence",
         STATUS_INTERNAL},
        {{{"triggers", R"([{"type": "circle"}])"}},
         "Unknown trigger circle",
         STATUS_MISSING_PARAMETER},
        {{{"triggers", R"([{"type": "loiteringArea", "data": []}, {"type": "fence"}])"}},
         "The configuration contains too many loitering area triggers",
         STATUS_CONTRADICTION},
        {{{"triggers", R"([{"type": "loiteringArea", "data": 4}])"}},
         "Could not get the data for a loitering area",
         STATUS_MISSING_PARAMETER},
        {{{"triggers", trigger(eleven, conditions("individual", 4, true))}},
         "Too many verticies in a trigger",
         STATUS_INVALID_PARAMETER},
        {{{"triggers", trigger("[[0, 0], [0.5, 0.5]]", conditions("individual", 4, true))}},
         "Too few verticies in a trigger",
         STATUS_INVALID_PARAMETER},
        {{{"triggers",
           trigger("[[0, 0], [0, 0.5], [1.0001, 0]]", conditions("individual", 4, true))}},
         "Trigger values out of bounds",
         STATUS_INVALID_PARAMETER},
        {{{"triggers",
           trigger(R"([[0, 0], [0, 0.5], ["a", 0]])", conditions("individual", 4, true))}},
         "Could not unpack a point for a trigger",
         STATUS_MISSING_PARAMETER},
        {{{"triggers", R"([{"type": "loiteringArea", "data": )" + kSquare + "}]"}},
         "Could not get the conditions for a loitering area",
         STATUS_MISSING_PARAMETER},
        {{{"triggers", trigger(kSquare, conditions("individual", 361, true))}},
         "Incorrect parameter value for individual time in area condition",
         STATUS_INVALID_PARAMETER},
        {{{"triggers", trigger(kSquare, conditions("group", 0, false))}},
         "Incorrect parameter value for group time in area condition",
         STATUS_INVALID_PARAMETER},
        {{{"triggers",
           trigger(kSquare, R"([{"type": "objectStopped", "data": [5], "active": true}])")}},
         "Incorrect parameter value for object stopped condition",
         STATUS_INVALID_PARAMETER},
        {{{"triggers",
           trigger(kSquare, R"([{"type": "objectStopped", "data": [2, 3], "active": true}])")}},
         "Wrong number of params for the objectStopped condition.",
         STATUS_INVALID_PARAMETER},
        {{{"triggers", trigger(kSquare, conditions("crowd", 4, true))}},
         "Unknown trigger condition: crowd",
         STATUS_INVALID_PARAMETER},
        {{{"triggers", trigger(kSquare, R"([{"type": "individual", "data": 4, "active": true},
                                           {"type": "group", "data": 4, "active": true}])")}},
         "There can be only one active trigger condition",
         STATUS_CONTRADICTION},
        {{{"triggers", trigger(kSquare, conditions("individual", 4, false))}},
         "There must be at least one active trigger condition",
         STATUS_CONTRADICTION},
    };
    for (const Refusal& refusal : refusals) {
        expectRefused(refusal, Application::getDataBoundaries());
    }
}

TEST(DW_GuardFactory, ConditionTimesInMicroseconds) {
    const DataBoundaries& boundaries = Application::getDataBoundaries();
    // A later condition of a type replaces an earlier one.
    const JsonAutoPtr group = profileWith(
        {{"triggers", trigger(kSquare, R"([{"type": "group", "data": 10, "active": true},
                                          {"type": "group", "data": 360, "active": true}])")}});
    const DW_GuardFactory groupFactory(*group.get(), 0, boundaries);
    EXPECT_EQ(groupFactory.getGroupTime(), 360000000);
    EXPECT_EQ(groupFactory.getIndividualTime(), 0);

    // An individual condition may go with an object-stopped one.
    const JsonAutoPtr stopped = profileWith(
        {{"triggers", trigger(kSquare, R"([{"type": "individual", "data": 1, "active": true},
                                          {"type": "objectStopped", "data": [2], "active": true}])")}});
    const DW_GuardFactory stoppedFactory(*stopped.get(), 0, boundaries);
    EXPECT_EQ(stoppedFactory.getStatus(), STATUS_OK);
    EXPECT_EQ(stoppedFactory.getIndividualTime(), 1000000);
    EXPECT_EQ(stoppedFactory.getObjectStoppedTime(), 2000000);
}

TEST(DW_GuardFactory, MissingBoundaryTablesAreInternalErrors) {
    const DataBoundaries& all = Application::getDataBoundaries();
    const auto copy = [](const auto* record) {
        return std::make_unique<std::remove_const_t<std::remove_pointer_t<decltype(record)>>>(
            *record);
    };
    const DataBoundaries noSwaying(copy(all.getSizePercentage()), copy(all.getPTZ()),
                                   copy(all.getProfile()), nullptr, nullptr,
                                   copy(all.getLoitering()));
    expectRefused(
        {{{"filters", R"([{"type": "distanceSwayingObject", "data": 5, "active": true}])"}},
         "Missing boundary values for the swaying filter",
         STATUS_INTERNAL},
        noSwaying);
    expectRefused({{{"filters", R"([{"type": "excludeArea", "data": []}])"}},
                   "Missing boundary values for the exclude area",
                   STATUS_INTERNAL},
                  noSwaying);
    const DataBoundaries nothing(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    expectRefused({{}, "Missing boundary values for the profile", STATUS_INTERNAL}, nothing);
}

// View coordinates become scene units, rounded half away from zero.
TEST(DW_GuardFactory, AreaPointsInSceneUnits) {
    const JsonAutoPtr profile =
        profileWith({{"triggers", trigger("[[0.5, -0.5], [0.0002, 1], [-0.5, -1], [-0.00006, 0]]",
                                          conditions("individual", 4, true))}});
    const DW_GuardFactory factory(*profile.get(), 0, Application::getDataBoundaries());
    const std::unique_ptr<Guard> guard = factory.createGuard();
    const auto& points =
        dynamic_cast<const DwellwatchGuard&>(*guard).getArea().getPolygon().getPoints();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0], (Point{2048, -2048}));
    EXPECT_EQ(points[1], (Point{1, 4096}));
    EXPECT_EQ(points[2], (Point{-2048, -4096}));
    EXPECT_EQ(points[3], (Point{0, 0}));
}

// Plays frames to the guard a factory builds.
class DW_GuardFactoryGuardTest : public ::testing::Test {
  protected:
    void build(const std::vector<std::pair<std::string, std::string>>& members) {
        const JsonAutoPtr profile = profileWith(members);
        const DW_GuardFactory factory(*profile.get(), 0, Application::getDataBoundaries());
        ASSERT_EQ(factory.getStatus(), STATUS_OK);
        guard = factory.createGuard();
        ASSERT_NE(guard, nullptr);
    }

    // The status of each object in the frame at time (in seconds).
    std::vector<AlarmDataStatus_e> play(double seconds, const std::vector<guardtest::Box>& boxes) {
        const ParsedScene scene = script.frame(static_cast<int64_t>(seconds * kSecond), boxes);
        result = guard->checkObjects(scene);
        std::vector<AlarmDataStatus_e> statuses;
        for (const auto& object : result->getObjects()) {
            statuses.push_back(object.status);
        }
        return statuses;
    }

    using Statuses = std::vector<AlarmDataStatus_e>;

    guardtest::SceneScript script;
    std::unique_ptr<Guard> guard;
    std::unique_ptr<AlarmData> result;
};

// Every guard has a low-confidence filter first and a lifetime filter of
// 3 s last, around the configured filters.
TEST_F(DW_GuardFactoryGuardTest, FiltersAroundTheConfiguredOnes) {
    build({{"filters", R"([{"type": "sizePercentage", "data": [10, 10], "active": true}])"}});
    guardtest::Box unsure = square(2, 0, 0, 1000);
    unsure.confident = false;
    const auto frame = [&](double seconds) {
        return play(seconds, {square(1, 0, 0, 1000), unsure, square(3, 0, 0, 100)});
    };
    for (double t = 0.0; t < 3.0; t += 0.5) {
        EXPECT_EQ(frame(t), (Statuses{OBJECT_FILTERED, OBJECT_FILTERED, OBJECT_FILTERED})) << t;
    }
    // From 3 s on the large object may trigger; at 4 s it has been inside
    // for the individual time.
    EXPECT_EQ(frame(3.0), (Statuses{OBJECT_NO_ALARM, OBJECT_FILTERED, OBJECT_FILTERED}));
    EXPECT_EQ(frame(3.9), (Statuses{OBJECT_NO_ALARM, OBJECT_FILTERED, OBJECT_FILTERED}));
    EXPECT_EQ(frame(4.0), (Statuses{OBJECT_ALARM, OBJECT_FILTERED, OBJECT_FILTERED}));
    EXPECT_TRUE(result->isAlarm());
}

// Time spent only in an exclude area does not count.
TEST_F(DW_GuardFactoryGuardTest, ExcludeAreasFreezeTheTime) {
    build({{"filters",
            R"([{"type": "excludeArea", "data": [[0, 0], [0, 0.25], [0.25, 0.25], [0.25, 0]]}])"}});
    const guardtest::Box excluded = square(1, 500, 500, 100);
    const guardtest::Box inside = square(2, -500, -500, 100);
    for (double t = 0.0; t < 4.0; t += 0.5) {
        play(t, {excluded, inside});
    }
    EXPECT_EQ(play(4.0, {excluded, inside}), (Statuses{OBJECT_NO_ALARM, OBJECT_ALARM}));
    EXPECT_EQ(play(60.0, {excluded, inside}), (Statuses{OBJECT_NO_ALARM, OBJECT_ALARM}));
}

// The group condition alarms for the area as a whole and outlines it. The
// group time counts from 3 s, when the object passes the lifetime filter.
TEST_F(DW_GuardFactoryGuardTest, GroupConditionOutlinesTheArea) {
    build({{"triggers", trigger(kSquare, conditions("group", 5, true))}});
    for (double t = 0.0; t < 7.5; t += 0.5) {
        play(t, {square(1, 0, 0)});
        EXPECT_FALSE(result->isAlarm()) << t;
    }
    play(7.5, {square(1, 0, 0)});
    EXPECT_TRUE(result->isAlarm());
    EXPECT_EQ(result->getPolygonsToDisplay().size(), 1u);
}

}  // namespace
