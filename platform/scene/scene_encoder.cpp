#include "scene_encoder.h"

#include <stdexcept>

#include "cobs.h"
#include "frame_format.h"

namespace scene {

namespace {

class ByteWriter {
  public:
    void u8(uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void u16(uint16_t value) { littleEndian(value, 2); }
    void i16(int16_t value) { u16(static_cast<uint16_t>(value)); }
    void i32(int32_t value) { littleEndian(static_cast<uint32_t>(value), 4); }
    void u64(uint64_t value) { littleEndian(value, 8); }

    void count(size_t value) {
        if (value > format::kMaxCount) {
            throw std::length_error("scene frame list longer than 65535 entries");
        }
        u16(static_cast<uint16_t>(value));
    }

    const std::string& bytes() const { return m_bytes; }

  private:
    void littleEndian(uint64_t value, int width) {
        for (int i = 0; i < width; ++i) {
            u8(static_cast<uint8_t>(value >> (8 * i)));
        }
    }

    std::string m_bytes;
};

void writePoints(ByteWriter& out, const std::vector<Point16>& points) {
    out.count(points.size());
    for (const Point16& point : points) {
        out.i16(point.x);
        out.i16(point.y);
    }
}

void writeIds(ByteWriter& out, const std::vector<int32_t>& ids) {
    out.count(ids.size());
    for (const int32_t id : ids) {
        out.i32(id);
    }
}

void writeObject(ByteWriter& out, const ObjectRecord& object) {
    out.i32(object.id);
    uint8_t fields = 0;
    fields |= object.boundingBox ? format::kHasBoundingBox : 0;
    fields |= object.outline ? format::kHasOutline : 0;
    fields |= object.velocity ? format::kHasVelocity : 0;
    fields |= object.confidence ? format::kHasConfidence : 0;
    out.u8(fields);
    if (object.boundingBox) {
        writePoints(out, *object.boundingBox);
    }
    if (object.outline) {
        writePoints(out, *object.outline);
    }
    if (object.velocity) {
        out.i32((*object.velocity)[0]);
        out.i32((*object.velocity)[1]);
    }
    if (object.confidence) {
        out.i16(*object.confidence);
    }
}

}  // namespace

std::string encodeFrame(const FrameRecord& frame) {
    ByteWriter out;
    out.u8(format::kMagic0);
    out.u8(format::kMagic1);
    out.u8(format::kVersion);
    out.u8(frame.timestampNs ? format::kHasTimestamp : 0);
    if (frame.timestampNs) {
        out.u64(*frame.timestampNs);
    }
    out.count(frame.objects.size());
    for (const ObjectRecord& object : frame.objects) {
        writeObject(out, object);
    }
    out.count(frame.events.size());
    for (const EventRecord& event : frame.events) {
        out.u8(event.action);
        writeIds(out, event.ids);
        writeIds(out, event.secondIds);
    }
    return cobs::encode(out.bytes());
}

}  // namespace scene
