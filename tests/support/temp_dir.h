#pragma once

#include <string>

namespace kovi::test {

// A fresh folder under /tmp, removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    // Points HOME and the XDG data, config, cache and state folders into this folder. GLib reads
    // them once, so a test program calls this first, before anything uses GLib.
    void useAsHome() const;

    // Small file helpers for tests.
    void write(const std::string& name, const std::string& contents) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string m_path;
};

} // namespace kovi::test
