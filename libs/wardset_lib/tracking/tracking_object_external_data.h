#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "geometry/point.h"

// Orders record keys by length first and then by their characters: most
// lookups then need no character comparison at all, and keys can be looked
// up as views without a copy.
struct RecordKeyOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
};

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
    using ValueMap = std::map<std::string, Value, RecordKeyOrder>;

    ValueMap<bool> m_bools;
    ValueMap<int32_t> m_ints;
    ValueMap<Point> m_points;
    ValueMap<int64_t> m_timeVals;
};
