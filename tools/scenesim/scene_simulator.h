#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "playback.h"
#include "scenario.h"
#include "unix_service.h"

namespace scenesim {

struct SimulatorOptions {
    PlaybackOptions playback;
    std::string sceneVersion = "1.1";  // the version the socket service speaks
    bool closeWhenDone = false;        // end each stream after its last frame
};

// Serves one scenario over both scene transports: the scene service socket
// ($CAMLET_ROOT/var/run/bedrock/scenes: handshake, then length-prefixed frames)
// and the back end of the subscriber library stand-in
// ($CAMLET_ROOT/var/run/bedrock/scene_subscriber). Every stream plays the
// frames of its camera's channel from the start.
class SceneSimulator {
  public:
    SceneSimulator(Scenario scenario, SimulatorOptions options);
    ~SceneSimulator();

    // Throws std::runtime_error when a socket cannot be served.
    void start();
    void stop();

  private:
    void serveSceneSocket(int fd, const std::atomic<bool>& stopping) const;
    void serveSubscriber(int fd, const std::atomic<bool>& stopping) const;
    void finish(int fd, bool played, const std::atomic<bool>& stopping) const;

    const Scenario m_scenario;
    const SimulatorOptions m_options;
    const Playback m_playback;
    std::unique_ptr<UnixService> m_sceneSocket;
    std::unique_ptr<UnixService> m_subscriberSocket;
};

}  // namespace scenesim
