// Every UI test process starts with its own empty HOME and XDG folders, so tests never see the
// user's data nor each other's; GLib reads these once, so they are set before anything uses GLib.
//
// It also gets a display of its own: GUI tests run in parallel, and real input (xdotool key
// presses, pointer drags, keyboard focus) must not land in another test's window. A private
// Xvfb is started when one is installed; set KOVI_TEST_SHARED_DISPLAY=1 to use $DISPLAY instead.
#include "support/temp_dir.h"
#include "ui/design/symbols.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A private X server for this process; stopped when the process ends.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        if (getenv("KOVI_TEST_SHARED_DISPLAY") || access("/usr/bin/Xvfb", X_OK) != 0)
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            // The server ends with the test process, also when that one crashes.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            // Quiet: the server's own notices are not test output.
            if (!freopen("/dev/null", "w", stderr))
                _exit(127);
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                  "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (m_pid < 0) {
            close(fds[0]);
            return;
        }
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) {
            stop();
            return;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
    }
    ~PrivateDisplay() { stop(); }

private:
    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    pid_t m_pid = -1;
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    kovi::test::TempDir home;
    home.useAsHome();
    // Listing the tests needs no display.
    const bool listing = testing::GTEST_FLAG(list_tests);
    std::unique_ptr<PrivateDisplay> display;
    if (!listing)
        display = std::make_unique<PrivateDisplay>();
    const int result = RUN_ALL_TESTS();
    // A view that asked for a symbol the table lacks shows a stand-in picture: fail loudly instead.
    const auto unknown = kovi::unknownSymbolsRequested();
    for (const std::string& symbol : unknown)
        std::fprintf(stderr, "A view asked for the symbol \"%s\", which has no icon in the symbol table\n",
                     symbol.c_str());
    return unknown.empty() ? result : 1;
}
