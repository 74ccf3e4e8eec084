#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

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

    // Insert or overwrite.
    void insert(const std::string& key, bool value);
    void insert(const std::string& key, int32_t value);
    void insert(const std::string& key, Point value);
    void insert(const std::string& key, int64_t value);

    // The stored value; a missing key is logged and reads as false, 0 or (0, 0).
    bool getBool(const std::string& key) const;
    int32_t getInt(const std::string& key) const;
    Point getPoint(const std::string& key) const;
    // The stored time, or defaultValue when missing.
    int64_t getTimeVal(const std::string& key, int64_t defaultValue) const;

  protected:
    TrackingObjectExternalData() = default;
    TrackingObjectExternalData(const TrackingObjectExternalData&) = default;
    TrackingObjectExternalData& operator=(const TrackingObjectExternalData&) = default;

  private:
    std::map<std::string, bool> m_bools;
    std::map<std::string, int32_t> m_ints;
    std::map<std::string, Point> m_points;
    std::map<std::string, int64_t> m_timeVals;
};
