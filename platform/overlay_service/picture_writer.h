#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "palette_png.h"

namespace overlaysim {

// Writes palette pictures as PNG files on a thread of its own, so that
// nobody waits for the encoding; of several pictures for one path waiting,
// only the latest is written.
class PictureWriter {
  public:
    PictureWriter();
    ~PictureWriter();  // writes nothing more
    PictureWriter(const PictureWriter&) = delete;
    PictureWriter& operator=(const PictureWriter&) = delete;

    // pixels: width / 2 × height bytes, two palette indexes each.
    void write(const std::string& path, std::vector<unsigned char> pixels, int width, int height,
               const Palette& palette);

  private:
    struct Picture {
        std::vector<unsigned char> pixels;
        int width;
        int height;
        Palette palette;
    };

    void run();

    std::mutex m_mutex;
    std::condition_variable m_condition;
    std::map<std::string, Picture> m_waiting;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace overlaysim
