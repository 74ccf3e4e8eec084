#include "ugpio_simulation.h"
#include "ugpio.h"

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

struct ugpio_line {
    std::string name;
};

namespace ugpio {
namespace {

struct Board {
    std::mutex mutex;
    std::map<std::string, SimulatedLine::Observer> lines;  // under mutex
    std::map<std::string, bool> held;                      // under mutex
};

Board& board() {
    static Board instance;
    return instance;
}

}  // namespace

SimulatedLine::SimulatedLine(std::string name, Observer observer) : m_name(std::move(name)) {
    std::lock_guard<std::mutex> lock(board().mutex);
    if (!board().lines.emplace(m_name, std::move(observer)).second) {
        throw std::logic_error("GPIO line " + m_name + " is simulated twice");
    }
}

SimulatedLine::~SimulatedLine() {
    std::lock_guard<std::mutex> lock(board().mutex);
    board().lines.erase(m_name);
}

}  // namespace ugpio

extern "C" {

ugpio_line* ugpio_line_get_by_name(const char* name) {
    ugpio::Board& board = ugpio::board();
    std::lock_guard<std::mutex> lock(board.mutex);
    if (name == nullptr || board.lines.count(name) == 0) {
        errno = ENOENT;
        return nullptr;
    }
    bool& held = board.held[name];
    if (held) {
        errno = EBUSY;
        return nullptr;
    }
    held = true;
    return new ugpio_line{name};
}

int ugpio_line_set_value(ugpio_line* line, int value) {
    if (line == nullptr) {
        return -EINVAL;
    }
    ugpio::SimulatedLine::Observer observer;
    {
        ugpio::Board& board = ugpio::board();
        std::lock_guard<std::mutex> lock(board.mutex);
        const auto found = board.lines.find(line->name);
        if (found == board.lines.end()) {
            return -ENODEV;  // the simulated line went away
        }
        observer = found->second;
    }
    observer(value != 0 ? 1 : 0);
    return 0;
}

void ugpio_line_release(ugpio_line* line) {
    if (line == nullptr) {
        return;
    }
    {
        ugpio::Board& board = ugpio::board();
        std::lock_guard<std::mutex> lock(board.mutex);
        board.held.erase(line->name);
    }
    delete line;
}

}  // extern "C"
