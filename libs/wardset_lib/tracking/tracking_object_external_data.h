#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "geometry/point.h"

// Base of every per-object record that a filter or guard keeps on a tracked
// object (under the key of its tag, "_" and its profile id): named bool,
// int, point and time values. Concrete records say how they are copied to
// split parts and how the record of another object is folded in when two
// objects merge.
class TrackingObjectExternalData {
  public:
    virtual ~TrackingObjectExternalData() = default;
    virtual std::unique_ptr<TrackingObjectExternalData> clone() const = 0;
    // Folds in the record of the same key from an object merging into this one.
    virtual void merge(const TrackingObjectExternalData& other) = 0;

    // Insert or overwrite. Keys are copied only when new, and looked up
    // without a copy, so that per-frame updates allocate nothing.
    void insert(std::string_view key, bool value);
    void insert(std::string_view key, int32_t value);
    void insert(std::string_view key, Point value);
    void insert(std::string_view key, int64_t value);

    // The stored value; a missing key is logged and reads as false, 0 or (0, 0).
    bool getBool(std::string_view key) const;
    int32_t getInt(std::string_view key) const;
    Point getPoint(std::string_view key) const;
    // The stored time, or defaultValue when missing.
    int64_t getTimeVal(std::string_view key, int64_t defaultValue) const;

  protected:
    TrackingObjectExternalData() = default;
    TrackingObjectExternalData(const TrackingObjectExternalData&) = default;
    TrackingObjectExternalData& operator=(const TrackingObjectExternalData&) = default;

  private:
    template <typename Value>
    using ValueMap = std::map<std::string, Value, std::less<>>;

    ValueMap<bool> m_bools;
    ValueMap<int32_t> m_ints;
    ValueMap<Point> m_points;
    ValueMap<int64_t> m_timeVals;
};
