#include "scene_simulator.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

#include "camlet_root.h"
#include "frame_builder.h"
#include "scene_request.h"
#include "subscriber_protocol.h"

namespace scenesim {

namespace {

constexpr const char* kSceneServicePath = "/var/run/bedrock/scenes";

std::string bigEndian(uint64_t value, int width) {
    std::string bytes(static_cast<size_t>(width), '\0');
    for (int i = 0; i < width; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>(value >> (8 * (width - 1 - i)));
    }
    return bytes;
}

}  // namespace

SceneSimulator::SceneSimulator(Scenario scenario, SimulatorOptions options)
    : m_scenario(std::move(scenario)),
      m_options(std::move(options)),
      m_playback(m_scenario, m_options.playback) {}

SceneSimulator::~SceneSimulator() {
    stop();
}

void SceneSimulator::start() {
    m_sceneSocket = std::make_unique<UnixService>(
        camlet::rootedPath(kSceneServicePath),
        [this](int fd, const std::atomic<bool>& stopping) { serveSceneSocket(fd, stopping); });
    m_subscriberSocket = std::make_unique<UnixService>(
        camlet::rootedPath(scene_subscriber::kServicePath),
        [this](int fd, const std::atomic<bool>& stopping) { serveSubscriber(fd, stopping); });
    m_sceneSocket->start();
    m_subscriberSocket->start();
}

void SceneSimulator::stop() {
    if (m_sceneSocket) {
        m_sceneSocket->stop();
    }
    if (m_subscriberSocket) {
        m_subscriberSocket->stop();
    }
}

void SceneSimulator::finish(int fd, bool played, const std::atomic<bool>& stopping) const {
    if (played) {
        // Tests wait for this line to know that the stream has every frame.
        std::fprintf(stderr, "scenesim: stream %d: every frame sent\n", fd);
    }
    if (played && !m_options.closeWhenDone) {
        idleUntilClosed(fd, stopping);
    }
}

// Frame: payload length (int32, big-endian), an 8-byte header field carrying
// the frame time in microseconds, then the frame text with its NUL.
void SceneSimulator::serveSceneSocket(int fd, const std::atomic<bool>& stopping) const {
    std::string line;
    if (!readLine(fd, line)) {
        return;
    }
    const std::optional<SceneRequest> request = parseSceneRequest(line);
    const bool accepted = request && servesVersion(m_options.sceneVersion, request->version);
    const std::string answer = m_options.sceneVersion + (accepted ? " OK" : " NO");
    if (!sendAll(fd, std::string(answer.c_str(), answer.size() + 1)) || !accepted) {
        return;
    }
    const bool played = m_playback.play(
        request->cameraId,
        [&](const ScenarioFrame& frame, int64_t offsetUs) {
            const std::string text = buildFrame(frame, request->mask, offsetUs);
            const uint64_t timeUs = static_cast<uint64_t>(frame.timeUs + offsetUs);
            return sendAll(fd, bigEndian(text.size() + 1, 4) + bigEndian(timeUs, 8) + text + '\0');
        },
        stopping);
    finish(fd, played, stopping);
}

// Request "SUBSCRIBE <channel> <mask>"; frames: length (uint32, big-endian), text.
void SceneSimulator::serveSubscriber(int fd, const std::atomic<bool>& stopping) const {
    std::string line;
    if (!readLine(fd, line)) {
        return;
    }
    std::istringstream in(line);
    std::string word;
    int channel = -1;
    unsigned mask = 0;
    if (!(in >> word >> channel >> mask) || word != "SUBSCRIBE" || channel < 0) {
        return;
    }
    const bool played = m_playback.play(
        channel + 1,
        [&](const ScenarioFrame& frame, int64_t offsetUs) {
            const std::string text = buildFrame(frame, mask, offsetUs);
            return sendAll(fd, bigEndian(text.size(), 4) + text);
        },
        stopping);
    finish(fd, played, stopping);
}

}  // namespace scenesim
