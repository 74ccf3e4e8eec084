#include "tracking/tracking_object.h"

#include <gtest/gtest.h>

#include <memory>

#include "tracking/tracking_object_external_data_no_merge.h"
#include "tracking_test_objects.h"

namespace {

TEST(TrackingObject, StartsFromTheSceneObject) {
    const TrackingObject object(
        rectangleMote(7, 1'000'000, -50, 50, 0, 200, MoteVelocity{40000, -12}, false), 0, 1.0f);
    EXPECT_EQ(object.getId(), 7);
    EXPECT_EQ(object.getFirstSeen(), 1'000'000);
    EXPECT_EQ(object.getLastSeen(), 1'000'000);
    EXPECT_EQ(object.getMaxWidth(), 100);
    EXPECT_EQ(object.getMaxHeight(), 200);
    EXPECT_EQ(object.getCentroid(), (Point{0, 100}));
    EXPECT_EQ(object.getPreviousPosition(), (Point{0, 100}));
    EXPECT_EQ(object.getShape().getWidth(), 100);
    EXPECT_EQ(object.getFootBox().getPoints(), object.getPreviousFootBox().getPoints());
    EXPECT_EQ(object.getFootBox().getMinY(), 0);  // the bottom quarter: y 0 .. 50
    EXPECT_EQ(object.getFootBox().getMaxY(), 50);
    EXPECT_FALSE(object.isConfident());
    EXPECT_TRUE(object.isMergeable());
    EXPECT_EQ(object.getVelocity().x, 32767);  // saturated to int16
    EXPECT_EQ(object.getVelocity().y, -12);
}

TEST(TrackingObject, Rotation90PutsTheFootOnTheRight) {
    const TrackingObject object(rectangleMote(1, 0, -50, 50, 0, 200), 90, 1.0f);
    EXPECT_EQ(object.getMaxWidth(), 200);  // viewed sideways
    EXPECT_EQ(object.getMaxHeight(), 100);
    EXPECT_EQ(object.getBox().getFootPositionValue(object.getCentroid()), 50);
    EXPECT_EQ(object.getFootBox().getMinX(), 25);
    EXPECT_EQ(object.getFootBox().getMaxX(), 50);
}

TEST(TrackingObject, UpdateMovesCurrentValuesToPreviousAndKeepsMaxima) {
    TrackingObject object(rectangleMote(1, 100, 0, 100, 0, 300), 0, 1.0f);
    const auto firstFoot = object.getFootBox().getPoints();
    object.update(rectangleMote(1, 200, 1000, 1050, 0, 100, MoteVelocity{3, 4}));
    EXPECT_EQ(object.getFirstSeen(), 100);
    EXPECT_EQ(object.getLastSeen(), 200);
    EXPECT_EQ(object.getPreviousPosition(), (Point{50, 150}));
    EXPECT_EQ(object.getCentroid(), (Point{1025, 50}));
    EXPECT_EQ(object.getPreviousFootBox().getPoints(), firstFoot);
    EXPECT_EQ(object.getFootBox().getMinX(), 1000);
    EXPECT_EQ(object.getBox().getWidth(), 50);
    EXPECT_EQ(object.getMaxWidth(), 100);
    EXPECT_EQ(object.getMaxHeight(), 300);
    EXPECT_EQ(object.getVelocity().x, 3);
    EXPECT_TRUE(object.isConfident());
}

TEST(TrackingObject, SetPreviousPositionMovesThePreviousFootBox) {
    TrackingObject object(rectangleMote(1, 0, 0, 100, 0, 100), 0, 1.0f);
    object.setPreviousPosition({500, 500});
    EXPECT_EQ(object.getPreviousPosition(), (Point{500, 500}));
    EXPECT_EQ(object.getPreviousFootBox().getMinX(), 450);
    EXPECT_EQ(object.getPreviousFootBox().getMinY(), 450);
    EXPECT_EQ(object.getFootBox().getMinX(), 0);
}

TEST(TrackingObject, AnObjectWithoutOutlineGetsTheBoxOrTheDefaultShape) {
    const TrackingObject boxed(
        MoteObject(1, 0, {}, nullptr, std::make_unique<Polygon>(10, 30, 10, 50), true), 0, 1.0f);
    EXPECT_EQ(boxed.getShape().getWidth(), 20);
    EXPECT_EQ(boxed.getCentroid(), (Point{20, 30}));

    const TrackingObject bare(MoteObject(2, 0, {}, nullptr, nullptr, true), 0, 1.0f);
    EXPECT_EQ(bare.getShape().getPoints().size(), 3u);
    EXPECT_EQ(bare.getMaxWidth(), 0);
}

// Counts its destructions, to see who deletes a replaced record.
class CountedRecord : public TrackingObjectExternalDataNoMerge {
  public:
    explicit CountedRecord(int& destroyed) : m_destroyed(destroyed) {}
    CountedRecord(const CountedRecord&) = default;
    ~CountedRecord() override { ++m_destroyed; }

  private:
    int& m_destroyed;
};

TEST(TrackingObject, RecordsAreOwnedByKey) {
    int destroyed = 0;
    {
        TrackingObject object(rectangleMote(1, 0, 0, 10, 0, 10), 0, 1.0f);
        EXPECT_EQ(object.getData("swaying_filter_1"), nullptr);
        auto record = std::make_unique<CountedRecord>(destroyed);
        const TrackingObjectExternalData* stored = record.get();
        object.insertData("swaying_filter_1", std::move(record));
        EXPECT_EQ(object.getData("swaying_filter_1"), stored);
        EXPECT_EQ(object.getData("swaying_filter_2"), nullptr);

        object.insertData("swaying_filter_1", std::make_unique<CountedRecord>(destroyed));
        EXPECT_EQ(destroyed, 1);  // the replaced record
    }
    EXPECT_EQ(destroyed, 2);  // the object's own
}

TEST(TrackingObject, DrawsTheBoundingBoxOfItsShapeWithoutClass) {
    const TrackingObject object(rectangleMote(1, 0, -2048, 1024, 0, 4096), 0, 1.0f);
    EXPECT_EQ(object.toStringSvg("fill:red;"),
              "<polygon class=\"\" points=\" -0.500,0.000 0.250,0.000 0.250,1.000 -0.500,1.000\" "
              "style=\"fill:red;\"  />\n");
}

}  // namespace
