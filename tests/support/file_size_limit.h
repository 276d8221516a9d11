#pragma once

#include <csignal>
#include <iostream>
#include <sys/resource.h>

namespace kovi::test {

// While alive, writes that would make a file larger than `bytes` fail with EFBIG. Unlike folder
// permissions this also binds the superuser, so write failures can be tested anywhere.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
        // Standard output captured into a file hit the limit too, which leaves the stream failed
        // and silent for every later test of the program.
        std::cout.clear();
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace kovi::test
