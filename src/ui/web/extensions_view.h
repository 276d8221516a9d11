#pragma once

#include "core/support/scoped_connections.h"
#include "core/web/page_extension.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _AdwMessageDialog AdwMessageDialog;

namespace kovi {

class AppearanceManager;
class PageExtensionStore;

// The page extensions sheet: one card per installed extension with its switch and, unless it is
// built in, "Remove"; "Import Folder…" reads an unpacked extension folder and asks before
// installing it; import and store failures show in one alert. Every change goes through the
// store, which saves at once. A modal window over `parent`; `dismiss` is called by its close
// button and when the window is closed (the presenter then destroys it). Main thread only.
class ExtensionsView : public Gtk::Window {
public:
    ExtensionsView(Gtk::Window& parent, PageExtensionStore& store, AppearanceManager& appearance,
                   std::function<void()> dismiss);
    ~ExtensionsView() override;

    // The folder import after the open panel returned a folder.
    void importFolder(const std::string& folder);
    // The open panel.
    void chooseFolder();

    // The install confirmation of a folder read and not yet installed.
    const std::optional<PageExtension>& pending() const { return m_pending; }
    Gtk::Window* confirmation() const { return m_confirmation.get(); }
    void confirmInstall();
    void cancelInstall();

    // The alert's message while it is shown: the import error, else the store's error.
    std::optional<std::string> alertMessage() const;
    void dismissAlert();

    // The cards as shown: one box per extension, in the store's order.
    std::vector<Gtk::Box*> cards() const;

private:
    void rebuildCards();
    void scheduleRebuild();
    Gtk::Box* makeCard(const PageExtension& extension);
    void showConfirmation();
    void closeConfirmation();
    void refreshAlert();
    void applyAppearance();
    static void onAlertResponse(AdwMessageDialog* dialog, const char* response, gpointer self) noexcept;

    PageExtensionStore& m_store;
    AppearanceManager& m_appearance;
    std::function<void()> m_dismiss;
    std::optional<PageExtension> m_pending;
    std::optional<std::string> m_importError;

    Gtk::Box m_root;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_list;
    Gtk::Button m_close;
    Gtk::Button m_import;
    std::unique_ptr<Gtk::Window> m_confirmation;
    Glib::RefPtr<Gtk::FileChooserNative> m_chooser;
    AdwMessageDialog* m_alert = nullptr;
    sigc::connection m_rebuild;
    ScopedConnections m_connections;
};

} // namespace kovi
