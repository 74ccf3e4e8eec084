#include "scene/mote_scene_parser.h"

#include <syslog.h>

#include <algorithm>
#include <memory>

MoteSceneParser::MoteSceneParser(int rotation, float aspectRatio)
    : m_storage(kStorageCapacity), m_rotation(rotation), m_aspectRatio(aspectRatio) {}

ParsedScene MoteSceneParser::parse(const MoteScene& scene) {
    ParsedScene parsed(scene.getTimestamp(), false);
    for (const auto& mote : scene.getObjects()) {
        createOrUpdate(*mote);
    }
    for (const auto& merge : scene.getMerges()) {
        applyMerge(*merge);
    }
    for (const auto& split : scene.getSplits()) {
        applySplit(*split);
    }
    for (const int id : scene.getDeletedIds()) {
        parsed.insertDeletedObject(m_storage.remove(id).release());
    }
    for (const auto& mote : scene.getObjects()) {
        TrackingObject* object = m_storage.getObject(mote->getId());
        if (object == nullptr) {
            syslog(LOG_WARNING, "Object with id %i was not found in the storage\n", mote->getId());
        }
        parsed.insertActiveObject(object);
    }
    return parsed;
}

void MoteSceneParser::createOrUpdate(const MoteObject& mote) {
    if (TrackingObject* object = m_storage.getObject(mote.getId())) {
        object->update(mote);
        return;
    }
    m_storage.insert(mote.getId(),
                     std::make_unique<TrackingObject>(mote, m_rotation, m_aspectRatio));
}

std::vector<TrackingObject*> MoteSceneParser::storedObjects(const std::vector<int>& ids) const {
    std::vector<TrackingObject*> objects;
    for (const int id : ids) {
        if (TrackingObject* object = m_storage.getObject(id)) {
            objects.push_back(object);
        }
    }
    return objects;
}

void MoteSceneParser::applyMerge(const MoteMergeData& merge) {
    TrackingObject* target = m_storage.getObject(merge.id);
    if (target == nullptr) {
        return;
    }
    const std::vector<TrackingObject*> stored = storedObjects(merge.ids);
    const std::vector<const TrackingObject*> sources(stored.begin(), stored.end());
    const bool targetIsSource =
        std::find(merge.ids.begin(), merge.ids.end(), merge.id) != merge.ids.end();
    mergeTrackingObject(*target, sources, targetIsSource);
}

void MoteSceneParser::applySplit(const MoteSplitData& split) {
    const TrackingObject* source = m_storage.getObject(split.id);
    if (source == nullptr) {
        return;
    }
    source->split(storedObjects(split.ids));
}

void MoteSceneParser::mergeTrackingObject(TrackingObject& target,
                                          const std::vector<const TrackingObject*>& sources,
                                          bool targetIsSource) {
    target.merge(sources, targetIsSource);
}

void MoteSceneParser::updateCameraRotation(int rotation) {
    if (rotation == m_rotation) {
        return;
    }
    m_rotation = rotation;
    m_storage.deleteAll();
}
