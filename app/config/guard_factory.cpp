#include "guard_factory.h"

GuardFactory::GuardFactory(int rotation, const DataBoundaries& boundaries)
    : m_rotation(rotation), m_boundaries(boundaries) {}

void GuardFactory::validateConfiguration() {
    if (m_sizePerspectiveActive && m_sizePercentActive) {
        throw StatusException("Only one type of size filter can be active", STATUS_CONTRADICTION);
    }
}
