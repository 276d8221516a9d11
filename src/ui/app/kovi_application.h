#pragma once

#include "ui/base/app_context.h"
#include "ui/base/view_slots.h"

#include <gtkmm/application.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kovi {

class CommandActions;
class CommandTable;
class MainWindow;
class MessageAlert;
class SaveFailureAlert;
class UpdateAlerts;

// The application object: owns the browser's core services (BrowserCore) with the theme and the
// page layer on top, opens the one window, and saves the browser state once on orderly shutdown
// (quit, last window closed, SIGTERM or SIGINT).
class KoviApplication : public Gtk::Application {
public:
    static constexpr const char* applicationId = "app.kovi.Browser";

    struct Options {
        std::optional<std::string> storageDirectory; // nullopt: $XDG_DATA_HOME/KoviBrowser
        std::string defaultsPath;                    // empty: Defaults::defaultFilePath()
        std::optional<std::string> updateFeedUrl;    // nullopt: the built-in feed
        bool startupUpdateCheck = true;
        bool nonUnique = false; // tests: no single-instance registration
        std::optional<ViewSlots> slots;              // nullopt: defaultViewSlots()
    };

    static Glib::RefPtr<KoviApplication> create();
    static Glib::RefPtr<KoviApplication> create(Options options);
    ~KoviApplication() override;

    // Valid after start-up.
    AppContext& context() { return *m_context; }
    CommandTable& commandTable() { return *m_commandTable; }
    CommandActions& commands() { return *m_commands; }
    UpdateAlerts& updateAlerts() { return *m_alerts; }
    MessageAlert* settingsSaveAlert() const { return m_settingsAlert.get(); }
    // The tabs, history or downloads could not be saved (nullptr before the window has shown).
    MessageAlert* stateSaveAlert() const;
    MainWindow* mainWindow() const { return m_window; }

    // Saves the browser state; run once by shutdown.
    void saveOnShutdown();

protected:
    explicit KoviApplication(Options options);
    void on_startup() override;
    void on_activate() override;
    void on_open(const type_vec_files& files, const Glib::ustring& hint) override;
    void on_shutdown() override;

private:
    void createCore();
    void createCommands();
    void showAbout();
    // Everything that holds on to the application object goes while it is still whole.
    void tearDownViews();
    // Over the window in front: the settings file could not be written.
    void showSettingsSaveFailure(const std::string& reason);
    // Runs `open` (something that opens by itself) now, or once the user has stopped typing in
    // the window (TypingHold).
    void whenNotTyping(const std::string& name, std::function<void()> open);
    static void refuseInspectorKeys();

    struct Core;
    Options m_options;
    std::unique_ptr<Core> m_core;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<CommandTable> m_commandTable;
    std::unique_ptr<CommandActions> m_commands;
    std::unique_ptr<UpdateAlerts> m_alerts;
    std::unique_ptr<MessageAlert> m_settingsAlert;
    std::unique_ptr<SaveFailureAlert> m_stateSaveAlert;
    sigc::connection m_settingsSaveFailed;
    MainWindow* m_window = nullptr;
    sigc::connection m_windowHidden;
    sigc::connection m_windowClosing;
    unsigned m_sigterm = 0;
    unsigned m_sigint = 0;
    bool m_saved = false;
};

} // namespace kovi
