#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "geometry/point.h"
#include "geometry/polygon.h"
#include "tracking/invariant_box.h"
#include "tracking/mote_object.h"
#include "tracking/tracking_object_external_data.h"

// Velocity of a tracked object in scene units, x then y.
struct Velocity {
    int16_t x = 0;
    int16_t y = 0;
};

// This system's record of one object reported by the scene service: its
// current shape and foot box, size history, times, and the per-object
// records of filters and guards. Built and updated from scene objects; merge
// and split events fold sizes, times and records from one object into another.
class TrackingObject {
  public:
    TrackingObject(const MoteObject& mote, int rotation, float aspectRatio);
    TrackingObject(const TrackingObject&) = delete;
    TrackingObject& operator=(const TrackingObject&) = delete;
    ~TrackingObject() = default;

    // Takes shape, time, velocity, size and confidence from the next frame.
    void update(const MoteObject& mote);
    // Sets the previous position and the foot box there.
    void setPreviousPosition(Point position);

    // The record stored under key, or null; never creates one.
    TrackingObjectExternalData* getData(const std::string& key);
    const TrackingObjectExternalData* getData(const std::string& key) const;
    // Stores record under key; a record already stored there is destroyed.
    void insertData(const std::string& key, std::unique_ptr<TrackingObjectExternalData> record);

    // Folds each source (null entries and sources with this object's id are
    // skipped) into this object. With targetIsSource false this object is
    // new, and takes the previous position of the last source.
    void merge(const std::vector<const TrackingObject*>& sources, bool targetIsSource);
    void merge(const TrackingObject& source, bool targetIsSource);
    // Each part (other than this object) takes over sizes, creation time,
    // previous position and copies of the records of this object.
    void split(const std::vector<TrackingObject*>& parts) const;
    void splitFromSource(const TrackingObject& source);
    // The larger box and maximum sizes of both objects.
    void combineSizeProperties(const TrackingObject& other);
    // Merges other's records into the records of the same key, and copies
    // those this object does not have.
    void combineFilterData(const TrackingObject& other);

    const InvariantBox& getBox() const { return m_box; }
    int32_t getId() const { return m_id; }
    int64_t getFirstSeen() const { return m_firstSeen; }
    int64_t getLastSeen() const { return m_lastSeen; }
    int32_t getMaxWidth() const { return m_maxWidth; }
    int32_t getMaxHeight() const { return m_maxHeight; }
    Point getCentroid() const { return m_centroid; }
    Point getPreviousPosition() const { return m_previousPosition; }
    const Polygon& getShape() const { return *m_shape_p; }
    // The foot boxes are kept as rectangles and built as polygons on request.
    Polygon getPreviousFootBox() const { return m_previousFootBox.toPolygon(); }
    Polygon getFootBox() const { return m_footBox.toPolygon(); }
    bool isConfident() const { return m_confident; }
    bool isMergeable() const { return m_isMergeable; }
    void setMergeable(bool mergeable) { m_isMergeable = mergeable; }
    Velocity getVelocity() const { return m_velocity; }

    // The bounding box of the object's shape as an SVG element without class.
    std::string toStringSvg(const std::string& style) const;

  private:
    InvariantBox m_box;
    int32_t m_id;
    int64_t m_firstSeen;
    int64_t m_lastSeen;
    int32_t m_maxWidth;
    int32_t m_maxHeight;
    Point m_centroid;
    Point m_previousPosition;
    // Shared with the scene object of the latest frame while that lives.
    std::shared_ptr<const Polygon> m_shape_p;
    Rectangle m_previousFootBox;
    Rectangle m_footBox;
    bool m_confident;
    bool m_isMergeable = true;
    Velocity m_velocity;
    std::map<std::string, std::unique_ptr<TrackingObjectExternalData>, RecordKeyOrder> m_data;
};
