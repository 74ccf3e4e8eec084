#include "camera_configuration.h"

#include <algorithm>
#include <utility>

#include "guard/area_guard.h"

CameraConfiguration::CameraConfiguration(int cameraId, int rotation)
    : m_cameraId(cameraId), m_rotation(rotation) {}

CameraConfiguration::CameraConfiguration(CameraConfiguration&& other) noexcept = default;
CameraConfiguration& CameraConfiguration::operator=(CameraConfiguration&& other) noexcept = default;
CameraConfiguration::~CameraConfiguration() = default;

void CameraConfiguration::insertGuard(std::unique_ptr<Guard> guard) {
    if (guard) {
        m_guards.push_back(std::move(guard));
    }
}

Guard* CameraConfiguration::getGuard(int profileId) const {
    const auto it = std::find_if(
        m_guards.begin(), m_guards.end(),
        [profileId](const std::unique_ptr<Guard>& guard) { return guard->getId() == profileId; });
    return it == m_guards.end() ? nullptr : it->get();
}

std::vector<std::unique_ptr<Guard>> CameraConfiguration::takeGuards() {
    return std::exchange(m_guards, {});
}

bool CameraConfiguration::operator==(const CameraConfiguration& other) const {
    return m_cameraId == other.m_cameraId && m_rotation == other.m_rotation;
}
