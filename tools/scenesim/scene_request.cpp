#include "scene_request.h"

#include <sstream>
#include <vector>

namespace scenesim {

namespace {

struct KnownVersion {
    const char* text;
    int bits;  // how many capability digits a request names
};
constexpr KnownVersion kKnownVersions[] = {{"1.0", 3}, {"1.1", 4}};

int indexOf(const std::string& version) {
    for (int i = 0; i < static_cast<int>(std::size(kKnownVersions)); ++i) {
        if (version == kKnownVersions[i].text) {
            return i;
        }
    }
    return -1;
}

}  // namespace

std::optional<SceneRequest> parseSceneRequest(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    if (words.size() < 2 || words[1] != "OPEN" || indexOf(words[0]) < 0) {
        return std::nullopt;
    }
    const int bits = kKnownVersions[indexOf(words[0])].bits;
    if (static_cast<int>(words.size()) != bits + 3) {
        return std::nullopt;
    }
    SceneRequest request;
    request.version = words[0];
    for (int i = 0; i < bits; ++i) {
        const std::string& digit = words[2 + i];
        if (digit != "0" && digit != "1") {
            return std::nullopt;
        }
        request.mask |= digit == "1" ? (1u << i) : 0u;
    }
    try {
        size_t used = 0;
        request.cameraId = std::stoi(words.back(), &used);
        if (used != words.back().size() || request.cameraId < 1) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return request;
}

bool servesVersion(const std::string& serviceVersion, const std::string& requested) {
    const int requestedIndex = indexOf(requested);
    return requestedIndex >= 0 && requestedIndex <= indexOf(serviceVersion);
}

}  // namespace scenesim
