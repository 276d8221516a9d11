#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/switch.h>
#include <gtkmm/togglebutton.h>
#include <sigc++/connection.h>

#include <functional>
#include <vector>

#include "core/support/scoped_connections.h"

namespace kovi {

class AIService;
class AppearanceManager;
class BrowserState;
class FeatureToggle;

// The AI settings panel (400 × 580) laid over the browser while
// BrowserState::isKoviMaxSettingsVisible(): the master switch, the provider, the API key with
// its show/hide button and "Save", the three feature switches and the way into the chat. Every
// control but the key field writes to the AI service at once; the key is stored only by "Save",
// exactly as typed. The master switch disables nothing.
class KoviMaxSettingsView : public Gtk::Box {
public:
    static constexpr int width = 400;
    static constexpr int height = 580;

    KoviMaxSettingsView(BrowserState& state, AppearanceManager& appearance, AIService& ai);

    // ---- Inspection, for tests ----
    Gtk::Button& closeButton() { return m_close; }
    Gtk::Switch& masterSwitch() { return m_master; }
    Gtk::ToggleButton& providerButton(std::size_t index) { return index == 0 ? m_openAI : m_anthropic; }
    Gtk::Entry& keyField() { return m_key; }
    Gtk::Button& showKeyButton() { return m_showKey; }
    Gtk::Button& saveButton() { return m_save; }
    FeatureToggle& previewsToggle() { return *m_previews; }
    FeatureToggle& tidyTitlesToggle() { return *m_tidyTitles; }
    FeatureToggle& tidyDownloadsToggle() { return *m_tidyDownloads; }
    Gtk::Label& shortcutBadge() { return m_badge; }
    Gtk::Button& openChatButton() { return m_openChat; }
    bool showApiKey() const { return m_showApiKey; }

private:
    Gtk::Widget& buildHeader();
    Gtk::Widget& buildMasterCard();
    Gtk::Widget& buildProviderCard();
    Gtk::Widget& buildFeaturesCard();
    Gtk::Widget& buildChatCard();
    // Two-way: the switch writes through `set`; a change of the service moves the switch.
    void bind(Gtk::Switch& control, std::function<bool()> get, std::function<void(bool)> set,
              sigc::signal<void()>& changed);
    void setShowApiKey(bool show);
    void refreshProvider();
    void refreshMaterial();
    void onAppear();

    BrowserState& m_state;
    AppearanceManager& m_appearance;
    AIService& m_ai;
    bool m_showApiKey = false;
    bool m_syncing = false; // moving a control to the service's value, not the user

    Gtk::Button m_close;
    Gtk::Switch m_master;
    Gtk::ToggleButton m_openAI;
    Gtk::ToggleButton m_anthropic;
    Gtk::Entry m_key;
    Gtk::Button m_showKey;
    Gtk::Image m_showKeyIcon;
    Gtk::Button m_save;
    FeatureToggle* m_previews = nullptr;
    FeatureToggle* m_tidyTitles = nullptr;
    FeatureToggle* m_tidyDownloads = nullptr;
    Gtk::Label m_badge;
    Gtk::Button m_openChat;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
