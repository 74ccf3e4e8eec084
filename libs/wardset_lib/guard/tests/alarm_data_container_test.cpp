#include "guard/alarm_data_container.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "geometry/polygon.h"
#include "scene_script.h"

namespace {

TEST(AlarmDataContainerTest, LooksUpEachProfilesObjectsAndPolygons) {
    guardtest::SceneScript script;
    const ParsedScene scene =
        script.frame(0, {guardtest::square(1, 0, 0), guardtest::square(2, 500, 500)});
    const TrackingObject* first = scene.getActiveObjects()[0];
    const TrackingObject* second = scene.getActiveObjects()[1];
    const Polygon area(-1000, 1000, -1000, 1000);

    auto entrance = std::make_unique<AlarmData>(3);
    entrance->addObjectStatus(first, OBJECT_ALARM);
    entrance->addObjectStatus(second, OBJECT_OUTSIDE);
    auto exit = std::make_unique<AlarmData>(5);
    exit->addPolygonToDisplay(&area);
    exit->addPolygonToDisplay(nullptr);

    AlarmDataContainer container;
    container.insert(std::move(entrance));
    container.insert(std::move(exit));
    container.insert(nullptr);

    ASSERT_TRUE(container.doesProfileExist(3));
    EXPECT_EQ(container.size(3), 2u);
    EXPECT_EQ(container.begin(3)->object, first);
    EXPECT_EQ(std::next(container.begin(3))->status, OBJECT_OUTSIDE);
    EXPECT_EQ(container.beginPolygon(3), container.endPolygon(3));

    EXPECT_EQ(container.size(5), 0u);
    ASSERT_EQ(std::distance(container.beginPolygon(5), container.endPolygon(5)), 1);
    EXPECT_EQ(*container.beginPolygon(5), &area);
}

TEST(AlarmDataContainerTest, AnUnknownProfileHasEmptyRanges) {
    AlarmDataContainer container;
    container.insert(std::make_unique<AlarmData>(3));
    EXPECT_FALSE(container.doesProfileExist(4));
    EXPECT_EQ(container.size(4), 0u);
    EXPECT_EQ(container.begin(4), container.end(4));
    EXPECT_EQ(container.beginPolygon(4), container.endPolygon(4));
}

}  // namespace
