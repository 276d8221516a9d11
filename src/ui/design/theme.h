#pragma once

#include "core/support/scoped_connections.h"

#include <sigc++/trackable.h>

#include <string>
#include <vector>

namespace Gtk {
class Window;
}

namespace kovi {

class AppearanceManager;

// Registers the bundled stylesheets and icons once per process (every data/css file, in file
// name order, above libadwaita's own), and keeps every attached window's look in step with the
// appearance settings: the forced dark or light scheme and the kovi-dark / kovi-glass classes
// the stylesheets key on. A change applies at once.
class Theme : public sigc::trackable {
public:
    explicit Theme(AppearanceManager& appearance);
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

    // Idempotent; needs a display.
    static void installResources();
    // The stylesheet that names the text colours of the dark or the light look.
    static std::string textColorsCss(bool dark);

    // The window follows the settings until it is destroyed.
    void attach(Gtk::Window& window);
    void apply();

private:
    void applyTo(Gtk::Window& window) const;
    void applyScheme() const;

    AppearanceManager& m_appearance;
    std::vector<Gtk::Window*> m_windows;
    ScopedConnections m_connections;
};

} // namespace kovi
