#pragma once

#include <string>

#include "base/retry_log.h"
#include "scene/camera.h"
#include "scene/socket_scene_stream.h"

// A camera on the socket transport: a thread of its own opens the camera's
// stream to the scene service, reads frame after frame and reconnects after
// every failed read. The stream is used by that thread only; stop() wakes it
// from any blocking read or wait, so a silent service cannot hold it.
class SocketCamera : public Camera {
  public:
    // servicePath: the scene service socket (the platform's by default).
    SocketCamera(int cameraId, int rotation, API_VersionHandler versions, int mask,
                 std::string servicePath = SocketSceneStream::defaultServicePath());
    // Stops and joins the thread; closes the stream.
    ~SocketCamera() override;

    // Starts the reading thread.
    void start();
    // Asks the thread to end and wakes it. Safe from any thread.
    void stop() override;
    // Processes the frame, which stays the caller's.
    void handleMoteData(char* frame) override;

    // Opens the stream with version negotiation; reduces the option mask to
    // what the accepted version supports.
    bool connect();
    // Closes the stream, waits 200 ms and opens it again with the negotiated version.
    void reconnect();

    // The thread function; arg is the camera.
    static void* run(void* arg);

  private:
    // Opens the stream, trying again every 200 ms until it opens or the
    // camera stops. False when stopped.
    bool connectUntilStopped();
    // Reads and processes frames until stopped, reconnecting after each
    // failed read.
    void readUntilStopped();
    // Reads one frame; after a failed read restarts tracking and reconnects.
    bool readOrReconnect(char** frame);

    SocketSceneStream m_stream;
    RetryLog m_retryLog;  // of opening the stream and reading frames
};
