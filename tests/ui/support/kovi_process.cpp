#include "kovi_process.h"

#include "gtk_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace kovi::test {

std::string koviBinary()
{
    // build/tests/ui/<test> → build/src/ui/kovi
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path().parent_path() / "src/ui/kovi").string();
}

std::string capture(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

Process::Process(const std::string& home, const std::vector<std::string>& arguments,
                 const std::vector<std::pair<std::string, std::string>>& environment)
{
    const std::string exe = koviBinary();
    const std::string errors = home + "/stderr.log";
    std::vector<gchar*> argv{const_cast<gchar*>("/bin/sh"), const_cast<gchar*>("-c"),
                             const_cast<gchar*>("exec \"$@\" 2>\"$KOVI_STDERR\""), const_cast<gchar*>("sh"),
                             const_cast<gchar*>(exe.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<gchar*>(argument.c_str()));
    argv.push_back(nullptr);
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "KOVI_STDERR", errors.c_str(), TRUE);
    env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_DATA_HOME", (home + "/data").c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_CONFIG_HOME", (home + "/config").c_str(), TRUE);
    env = g_environ_setenv(env, "XDG_CACHE_HOME", (home + "/cache").c_str(), TRUE);
    for (const auto& [name, value] : environment)
        env = g_environ_setenv(env, name.c_str(), value.c_str(), TRUE);
    GError* error = nullptr;
    const bool ok = g_spawn_async(nullptr, argv.data(), env, GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL),
                                  +[](gpointer) {
                                      signal(SIGINT, SIG_DFL);
                                      signal(SIGTERM, SIG_DFL);
                                      sigset_t none;
                                      sigemptyset(&none);
                                      sigprocmask(SIG_SETMASK, &none, nullptr);
                                  },
                                  nullptr, &m_pid, &error);
    g_strfreev(env);
    if (!ok) {
        ADD_FAILURE() << "cannot start " << exe << ": " << (error ? error->message : "");
        g_clear_error(&error);
        return;
    }
    m_watch = g_child_watch_add(m_pid, +[](GPid, gint status, gpointer self) {
        auto* process = static_cast<Process*>(self);
        process->m_status = status;
        process->m_exited = true;
        process->m_watch = 0;
    }, this);
}

Process::~Process()
{
    if (m_pid > 0 && !m_exited) {
        kill(m_pid, SIGKILL);
        runUntilGtk([&] { return m_exited; }, 5);
    }
    if (m_watch)
        g_source_remove(m_watch);
    if (m_pid > 0)
        g_spawn_close_pid(m_pid);
}

int Process::wait(double seconds)
{
    if (!runUntilGtk([&] { return m_exited; }, seconds))
        return -1;
    if (WIFSIGNALED(m_status))
        ADD_FAILURE() << "ended by signal " << WTERMSIG(m_status);
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

std::string Process::stacks() const
{
    if (m_pid <= 0 || m_exited)
        return {};
    return capture("command -v gdb >/dev/null && gdb -p " + std::to_string(m_pid) +
                   " -batch -nx -ex 'thread apply all bt 30' 2>/dev/null | grep -E '^(Thread|#)'");
}

} // namespace kovi::test
