#include "support/temp_dir.h"

#include <glib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kovi::test {

TempDir::TempDir()
{
    GError* error = nullptr;
    gchar* path = g_dir_make_tmp("kovi-test-XXXXXX", &error);
    if (!path) {
        std::string message = error ? error->message : "g_dir_make_tmp failed";
        g_clear_error(&error);
        throw std::runtime_error(message);
    }
    m_path = path;
    g_free(path);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable so they can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::useAsHome() const
{
    setenv("HOME", m_path.c_str(), 1);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        setenv(name, (m_path + "/" + name).c_str(), 1);
}

void TempDir::write(const std::string& name, const std::string& contents) const
{
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string TempDir::read(const std::string& name) const
{
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool TempDir::exists(const std::string& name) const
{
    return std::filesystem::exists(std::filesystem::symlink_status(file(name)));
}

} // namespace kovi::test
