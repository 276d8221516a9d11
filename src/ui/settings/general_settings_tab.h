#pragma once

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/switch.h>
#include <gtkmm/togglebutton.h>
#include <sigc++/connection.h>

#include <array>
#include <vector>

namespace kovi {

class AppearanceManager;
class BrowserState;
class Preferences;

// The General tab: appearance (theme, layout, glass, bookmarks bar, bezel), the search engine,
// two fixed start-up options and the archiving of idle tabs. Theme, layout, glass and bezel act
// on the running browser at once; the switches of stored keys write them at once; a change of
// the archive switch or hours runs an archive pass after writing. Every control shows the
// current value and follows changes made elsewhere; showing a value never counts as a change.
class GeneralSettingsTab : public Gtk::Box {
public:
    GeneralSettingsTab(BrowserState& state, AppearanceManager& appearance, Preferences& preferences);
    ~GeneralSettingsTab() override;

    std::array<Gtk::ToggleButton*, 3>& themeButtons() { return m_theme; }
    Gtk::DropDown& layoutPicker() { return m_layout; }
    Gtk::Switch& glassSwitch() { return m_glass; }
    Gtk::Switch& bookmarksBarSwitch() { return m_bookmarksBar; }
    Gtk::Switch& bezelSwitch() { return m_bezel; }
    Gtk::DropDown& searchEnginePicker() { return m_searchEngine; }
    Gtk::CheckButton& restoreSessionCheck() { return m_restoreSession; }
    Gtk::CheckButton& welcomePageCheck() { return m_welcomePage; }
    Gtk::CheckButton& autoArchiveCheck() { return m_autoArchive; }
    Gtk::DropDown& archiveHoursPicker() { return m_archiveHours; }

private:
    Gtk::Widget* makeAppearanceSection();
    Gtk::Widget* makeSearchSection();
    Gtk::Widget* makeStartupSection();
    Gtk::Widget* makeArchiveSection();
    void refresh();
    // Connects a control's change signal; the handler runs only for the user's changes.
    template <class Signal, class Handler>
    void onUserChange(Signal&& signal, Handler handler);

    BrowserState& m_state;
    AppearanceManager& m_appearance;
    Preferences& m_preferences;
    int m_refreshing = 0;

    std::array<Gtk::ToggleButton*, 3> m_theme{};
    Gtk::DropDown m_layout;
    Gtk::Switch m_glass;
    Gtk::Switch m_bookmarksBar;
    Gtk::Switch m_bezel;
    Gtk::DropDown m_searchEngine;
    Gtk::CheckButton m_restoreSession;
    Gtk::CheckButton m_welcomePage;
    Gtk::CheckButton m_autoArchive;
    Gtk::DropDown m_archiveHours;
    std::vector<sigc::connection> m_connections;
};

} // namespace kovi
