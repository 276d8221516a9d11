#pragma once

#include <sigc++/signal.h>

namespace kovi {

class Preferences;

// Dark mode and the glass look of the window chrome, kept in the settings store under their
// own names. One instance per process, passed to every view. Main thread only.
class AppearanceManager {
public:
    explicit AppearanceManager(Preferences& preferences);

    AppearanceManager(const AppearanceManager&) = delete;
    AppearanceManager& operator=(const AppearanceManager&) = delete;

    bool isGlassEnabled() const { return m_isGlassEnabled; }
    void setIsGlassEnabled(bool value);
    sigc::signal<void()> isGlassEnabledChanged;

    bool isDarkMode() const { return m_isDarkMode; }
    void setIsDarkMode(bool value);
    sigc::signal<void()> isDarkModeChanged;

private:
    Preferences& m_preferences;
    bool m_isGlassEnabled = false;
    bool m_isDarkMode = true;
};

} // namespace kovi
