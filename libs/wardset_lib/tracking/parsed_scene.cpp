#include "tracking/parsed_scene.h"

#include <utility>

ParsedScene::ParsedScene(int64_t timestamp, bool ownsActive)
    : m_timestamp(timestamp), m_ownsActive(ownsActive) {}

ParsedScene::ParsedScene(ParsedScene&& other) noexcept
    : m_timestamp(other.m_timestamp),
      m_ownsActive(std::exchange(other.m_ownsActive, false)),
      m_active(std::exchange(other.m_active, {})),
      m_deleted(std::exchange(other.m_deleted, {})) {}

ParsedScene::~ParsedScene() {
    if (m_ownsActive) {
        for (TrackingObject* object : m_active) {
            delete object;
        }
    }
}

void ParsedScene::insertActiveObject(TrackingObject* object) {
    if (object != nullptr) {
        m_active.push_back(object);
    }
}

void ParsedScene::insertDeletedObject(TrackingObject* object) {
    if (object != nullptr) {
        m_deleted.emplace_back(object);
    }
}
