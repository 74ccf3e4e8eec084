#include "camera_configuration_container.h"

#include <syslog.h>

#include <algorithm>
#include <utility>

void CameraConfigurationContainer::insert(CameraConfiguration configuration) {
    if (getConfiguration(configuration.getCameraId()) != nullptr) {
        syslog(LOG_WARNING,
               "Cannot insert duplicate configs in a CameraConfigurationContainer, camera nbr = "
               "%i camera rotation = %i\n",
               configuration.getCameraId(), configuration.getRotation());
        return;
    }
    m_configurations.push_back(std::move(configuration));
}

CameraConfiguration* CameraConfigurationContainer::getConfiguration(int cameraId) {
    const auto it = std::find(m_configurations.begin(), m_configurations.end(), cameraId);
    return it == m_configurations.end() ? nullptr : &*it;
}

const CameraConfiguration* CameraConfigurationContainer::getConfiguration(int cameraId) const {
    const auto it = std::find(m_configurations.begin(), m_configurations.end(), cameraId);
    return it == m_configurations.end() ? nullptr : &*it;
}
