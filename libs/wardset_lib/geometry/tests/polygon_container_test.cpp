#include "geometry/polygon_container.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A container of squares (0, n, 0, n) for n = 1, 2, ...
PolygonContainer squares(int count) {
    PolygonContainer container;
    for (int n = 1; n <= count; ++n) {
        container.insert(std::make_unique<Polygon>(0, n, 0, n));
    }
    return container;
}

TEST(PolygonContainer, InsertIgnoresNull) {
    PolygonContainer container = squares(1);
    container.insert(nullptr);
    ASSERT_EQ(container.size(), 1u);
    EXPECT_EQ(container.at(0).getWidth(), 1);
}

TEST(PolygonContainer, CopiesAreDeepAndInOrder) {
    const PolygonContainer original = squares(3);
    const PolygonContainer copy(original);
    ASSERT_EQ(copy.size(), 3u);
    for (std::size_t i = 0; i < copy.size(); ++i) {
        EXPECT_NE(&copy.at(i), &original.at(i));
        EXPECT_EQ(copy.at(i).getPoints(), original.at(i).getPoints());
    }

    PolygonContainer target = squares(5);
    target = original;
    ASSERT_EQ(target.size(), 3u);
    EXPECT_EQ(target.at(2).getWidth(), 3);
    EXPECT_NE(&target.at(2), &original.at(2));
}

TEST(PolygonContainer, SelfAssignmentChangesNothing) {
    PolygonContainer container = squares(2);
    const Polygon* first = &container.at(0);
    PolygonContainer& same = container;
    container = same;
    ASSERT_EQ(container.size(), 2u);
    EXPECT_EQ(&container.at(0), first);
    EXPECT_EQ(container.at(1).getWidth(), 2);
}

TEST(PolygonContainer, AppendAddsCopiesAfterItsOwn) {
    PolygonContainer container = squares(1);
    const PolygonContainer more = squares(2);
    container.append(more);
    ASSERT_EQ(container.size(), 3u);
    EXPECT_EQ(container.at(1).getWidth(), 1);
    EXPECT_EQ(container.at(2).getWidth(), 2);
    EXPECT_NE(&container.at(2), &more.at(1));
}

TEST(PolygonContainer, TakeOwnershipMovesThePolygonsThemselves) {
    PolygonContainer container = squares(1);
    PolygonContainer donor = squares(3);
    const Polygon* last = &donor.at(2);
    container.takeOwnership(donor);
    EXPECT_TRUE(donor.empty());
    ASSERT_EQ(container.size(), 4u);
    EXPECT_EQ(&container.at(3), last);
    EXPECT_EQ(container.at(1).getWidth(), 1);

    container.takeOwnership(container);
    EXPECT_EQ(container.size(), 4u);
    EXPECT_EQ(&container.at(3), last);
}

}  // namespace
