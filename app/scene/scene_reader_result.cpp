#include "scene/scene_reader_result.h"

#include <vector>

#include "base/utils.h"

SceneReaderResult::SceneReaderResult(const std::string& answer) {
    const std::vector<std::string> words = utils::splitString(utils::trimString(answer, " "), ' ');
    if (words.size() != 2) {
        return;
    }
    m_version = API_Version(words[0]);
    m_ok = words[1] == "OK";
}
