#include "picture_writer.h"

#include <utility>

namespace overlaysim {

PictureWriter::PictureWriter() : m_thread([this] { run(); }) {}

PictureWriter::~PictureWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_condition.notify_all();
    m_thread.join();
}

void PictureWriter::write(const std::string& path, std::vector<unsigned char> pixels, int width,
                          int height, const Palette& palette) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting[path] = Picture{std::move(pixels), width, height, palette};
    }
    m_condition.notify_all();
}

void PictureWriter::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_condition.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping) {
            return;
        }
        const std::string path = m_waiting.begin()->first;
        const Picture picture = std::move(m_waiting.begin()->second);
        m_waiting.erase(m_waiting.begin());
        lock.unlock();
        std::string error;
        writePalettePng(path, picture.pixels.data(), picture.width, picture.height, picture.palette,
                        error);
        lock.lock();
    }
}

}  // namespace overlaysim
