#pragma once

#include "scene/camera.h"
#include "video_scene_subscriber_api.h"

// A camera on the callback transport: the subscriber library delivers its
// frames on threads of the library, through the callback camera container.
class CallbackCamera : public Camera {
  public:
    CallbackCamera(int cameraId, int rotation, API_VersionHandler versions, int mask);
    // Unsubscribes.
    ~CallbackCamera() override;

    // Keeps the new subscriber in place of any previous one (which is
    // deleted) and restarts tracking.
    void setSubscriber(video_scene_subscriber_st* subscriber);
    // Stops receiving: no frame is processed afterwards, and the subscriber is
    // unsubscribed and deleted. Call without the container's lock.
    void stop() override;
    // Processes the frame while receiving; frees it in every case.
    void handleMoteData(char* frame) override;

    int getOptionMask() const { return m_optionMask; }

  private:
    void deleteSubscriber();

    video_scene_subscriber_st* m_subscriber_p = nullptr;  // owned; null when not subscribed
    bool m_receiving = true;
};
