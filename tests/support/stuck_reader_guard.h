#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kovi::test {

// Bounds a test that may wait for ever on reading a FIFO: when the guard is still alive after
// `seconds`, it opens the FIFOs for writing and closes them again, so a reader stuck there sees
// the end of the input, and it records that it had to. A test asserts !released().
class StuckReaderGuard {
public:
    StuckReaderGuard(std::vector<std::string> fifos, double seconds)
        : m_fifos(std::move(fifos)),
          m_thread([this, seconds] {
              std::unique_lock lock(m_mutex);
              if (m_done.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return m_finished; }))
                  return;
              m_released = true;
              while (!m_finished) {
                  for (const std::string& fifo : m_fifos) {
                      // Succeeds only while a reader has it open.
                      int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                      if (fd >= 0)
                          ::close(fd);
                  }
                  m_done.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_finished; });
              }
          })
    {
    }
    ~StuckReaderGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    StuckReaderGuard(const StuckReaderGuard&) = delete;
    StuckReaderGuard& operator=(const StuckReaderGuard&) = delete;

    bool released() const { return m_released; }

private:
    std::vector<std::string> m_fifos;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::atomic<bool> m_released{false};
    std::thread m_thread;
};

} // namespace kovi::test
