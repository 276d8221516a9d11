#pragma once

// The kovi program itself, started as a user's shell would start it, for tests of the program
// as a process (start-up, signals, windows on a desktop).

#include <glib.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace kovi::test {

// The kovi binary of this build.
std::string koviBinary();
// What a shell command prints, without the trailing line break.
std::string capture(const std::string& command);

// The program started with default signal dispositions and nothing blocked, on a profile under
// `home` (HOME and the XDG folders), with `environment` added; watched through GLib, so its exit
// status is collected however the loop runs. What it prints on standard error goes to
// `home`/stderr.log. Killed when it is still running at the end.
class Process {
public:
    explicit Process(const std::string& home, const std::vector<std::string>& arguments = {},
                     const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Waits for the exit; returns the exit status, or -1 on a timeout or a crash.
    int wait(double seconds);
    // What each of its threads is doing now (gdb's backtraces), for the report of a program that
    // did not end; empty when gdb is missing or it has ended.
    std::string stacks() const;
    bool exited() const { return m_exited; }
    pid_t pid() const { return m_pid; }

private:
    GPid m_pid = -1;
    guint m_watch = 0;
    bool m_exited = false;
    int m_status = 0;
};

} // namespace kovi::test
