#include "ui/ai/kovi_max_settings_view.h"

#include "core/ai/ai_service.h"
#include "core/settings/appearance_manager.h"
#include "core/state/browser_state.h"
#include "ui/ai/feature_toggle.h"
#include "ui/ai/gradient_sparkles.h"
#include "ui/design/symbols.h"

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>

namespace kovi {

namespace {

Gtk::Label* makeLabel(const char* text, const char* cssClass, bool secondary = false)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->add_css_class(cssClass);
    if (secondary)
        label->add_css_class("kovi-secondary");
    label->set_xalign(0);
    return label;
}

Gtk::Box* makeCard(int spacing)
{
    auto* card = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, spacing);
    card->add_css_class("kovi-ai-card");
    return card;
}

} // namespace

KoviMaxSettingsView::KoviMaxSettingsView(BrowserState& state, AppearanceManager& appearance, AIService& ai)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_state(state), m_appearance(appearance), m_ai(ai)
{
    add_css_class("kovi-ai-settings");
    set_size_request(width, height);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    set_overflow(Gtk::Overflow::HIDDEN);

    append(buildHeader());
    auto* divider = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL);
    divider->add_css_class("kovi-ai-divider");
    divider->set_margin_start(20);
    divider->set_margin_end(20);
    append(*divider);

    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller->set_vexpand(true);
    auto* cards = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 20);
    cards->add_css_class("kovi-ai-cards");
    cards->append(buildMasterCard());
    cards->append(buildProviderCard());
    cards->append(buildFeaturesCard());
    cards->append(buildChatCard());
    scroller->set_child(*cards);
    append(*scroller);

    m_connections.add(m_appearance.isDarkModeChanged.connect([this] { refreshMaterial(); }));
    m_connections.add(m_ai.selectedProviderChanged.connect([this] { refreshProvider(); }));
    // Each showing starts from the stored key, hidden.
    m_connections.add(signal_map().connect(sigc::mem_fun(*this, &KoviMaxSettingsView::onAppear)));
    refreshMaterial();
    refreshProvider();
}

Gtk::Widget& KoviMaxSettingsView::buildHeader()
{
    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    header->add_css_class("kovi-ai-header");
    header->append(*Gtk::make_managed<GradientSparkles>(
        20, std::vector<GradientSparkles::Color>{{0.69, 0.32, 0.87}, {1.0, 0.18, 0.33}, {1.0, 0.58, 0.0}}));
    auto* titles = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    titles->set_hexpand(true);
    titles->append(*makeLabel("Kovi Max", "title"));
    titles->append(*makeLabel("AI-powered browsing features", "subtitle", true));
    header->append(*titles);

    m_close.add_css_class("kovi-ai-close");
    m_close.set_has_frame(false);
    m_close.set_valign(Gtk::Align::CENTER);
    m_close.set_child(*makeSymbolImage("xmark", 11));
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] { m_state.setIsKoviMaxSettingsVisible(false); });
    header->append(m_close);
    return *header;
}

Gtk::Widget& KoviMaxSettingsView::buildMasterCard()
{
    auto* card = makeCard(12);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    auto* power = makeSymbolImage("power", 16);
    power->add_css_class("kovi-ai-green");
    row->append(*power);
    auto* text = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    text->set_hexpand(true);
    text->append(*makeLabel("Enable Kovi Max", "card-title"));
    text->append(*makeLabel("Turn on AI-powered features", "caption", true));
    row->append(*text);
    m_master.set_valign(Gtk::Align::CENTER);
    gtk_accessible_update_property(GTK_ACCESSIBLE(m_master.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   "Enable Kovi Max", -1);
    row->append(m_master);
    card->append(*row);
    bind(m_master, [this] { return m_ai.isMaxEnabled(); }, [this](bool on) { m_ai.setIsMaxEnabled(on); },
         m_ai.isMaxEnabledChanged);
    return *card;
}

Gtk::Widget& KoviMaxSettingsView::buildProviderCard()
{
    auto* card = makeCard(12);
    card->append(*makeLabel("AI Provider", "section-title", true));

    // A segmented picker: two linked toggle buttons in one group.
    auto* picker = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    picker->add_css_class("linked");
    picker->set_homogeneous(true);
    picker->add_css_class("kovi-ai-segmented");
    gtk_accessible_update_property(GTK_ACCESSIBLE(picker->gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, "Provider", -1);
    m_openAI.set_label("OpenAI");
    m_anthropic.set_label("Anthropic (Claude)");
    m_anthropic.set_group(m_openAI);
    for (auto [button, provider] : {std::pair{&m_openAI, AIProvider::openai},
                                    std::pair{&m_anthropic, AIProvider::anthropic}}) {
        button->set_hexpand(true);
        button->signal_toggled().connect([this, button, provider] {
            if (button->get_active() && m_ai.selectedProvider() != provider)
                m_ai.setSelectedProvider(provider);
        });
        picker->append(*button);
    }
    card->append(*picker);

    auto* keyRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    m_key.set_placeholder_text("API Key");
    m_key.set_hexpand(true);
    m_key.set_visibility(false);
    m_key.set_input_purpose(Gtk::InputPurpose::PASSWORD);
    // Return stores nothing: only "Save" does.
    m_key.set_activates_default(false);
    keyRow->append(m_key);
    m_showKey.add_css_class("kovi-ai-eye");
    m_showKey.set_has_frame(false);
    m_showKey.set_valign(Gtk::Align::CENTER);
    m_showKeyIcon.set_pixel_size(14);
    m_showKey.set_child(m_showKeyIcon);
    m_showKey.signal_clicked().connect([this] { setShowApiKey(!m_showApiKey); });
    keyRow->append(m_showKey);
    m_save.set_label("Save");
    m_save.add_css_class("kovi-ai-prominent");
    m_save.set_valign(Gtk::Align::CENTER);
    // Exactly as typed: nothing trimmed, an empty field stores an empty key.
    m_save.signal_clicked().connect([this] { m_ai.setApiKey(m_key.get_text()); });
    keyRow->append(m_save);
    card->append(*keyRow);
    setShowApiKey(false);

    auto* note = makeLabel("Your API key is stored locally and never shared.", "note");
    note->add_css_class("kovi-tertiary");
    card->append(*note);
    return *card;
}

Gtk::Widget& KoviMaxSettingsView::buildFeaturesCard()
{
    auto* card = makeCard(16);
    card->append(*makeLabel("Features", "section-title", true));
    m_previews = Gtk::make_managed<FeatureToggle>("eye.fill", "blue", "5 Second Previews",
                                                  "Hold Shift and hover over links to preview");
    m_tidyTitles = Gtk::make_managed<FeatureToggle>("textformat.size", "orange", "Tidy Tab Titles",
                                                    "Auto-shorten tab titles when pinned");
    m_tidyDownloads = Gtk::make_managed<FeatureToggle>("arrow.down.doc.fill", "green", "Tidy Downloads",
                                                       "Smart rename downloaded files");
    bind(m_previews->toggle(), [this] { return m_ai.is5SecondPreviewsEnabled(); },
         [this](bool on) { m_ai.setIs5SecondPreviewsEnabled(on); }, m_ai.is5SecondPreviewsEnabledChanged);
    bind(m_tidyTitles->toggle(), [this] { return m_ai.isTidyTabTitlesEnabled(); },
         [this](bool on) { m_ai.setIsTidyTabTitlesEnabled(on); }, m_ai.isTidyTabTitlesEnabledChanged);
    bind(m_tidyDownloads->toggle(), [this] { return m_ai.isTidyDownloadsEnabled(); },
         [this](bool on) { m_ai.setIsTidyDownloadsEnabled(on); }, m_ai.isTidyDownloadsEnabledChanged);
    for (FeatureToggle* row : {m_previews, m_tidyTitles, m_tidyDownloads})
        card->append(*row);
    return *card;
}

Gtk::Widget& KoviMaxSettingsView::buildChatCard()
{
    auto* card = makeCard(12);
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    auto* icon = makeSymbolImage("message.fill", 16);
    icon->add_css_class("kovi-ai-purple");
    row->append(*icon);
    auto* title = makeLabel("Kovi AI Chat", "card-title");
    title->set_hexpand(true);
    row->append(*title);
    // Text only; the shortcut itself belongs to the menu command.
    m_badge.set_text("Ctrl+Shift+A");
    m_badge.add_css_class("kovi-ai-badge");
    m_badge.set_valign(Gtk::Align::CENTER);
    row->append(m_badge);
    card->append(*row);

    auto* text = makeLabel("Chat with AI about your open tabs, get help with research, writing, and more.", "body",
                           true);
    text->set_wrap(true);
    card->append(*text);

    auto* label = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    label->set_halign(Gtk::Align::CENTER);
    label->append(*makeSymbolImage("sparkles", 14));
    label->append(*Gtk::make_managed<Gtk::Label>("Open Kovi AI"));
    m_openChat.set_child(*label);
    m_openChat.add_css_class("kovi-ai-prominent");
    m_openChat.add_css_class("wide");
    m_openChat.set_hexpand(true);
    m_openChat.signal_clicked().connect([this] {
        m_state.setIsKoviMaxSettingsVisible(false);
        m_state.setIsAIChatVisible(true);
    });
    card->append(m_openChat);
    return *card;
}

void KoviMaxSettingsView::bind(Gtk::Switch& control, std::function<bool()> get, std::function<void(bool)> set,
                               sigc::signal<void()>& changed)
{
    control.set_active(get());
    control.property_active().signal_changed().connect([this, &control, set] {
        if (!m_syncing)
            set(control.get_active());
    });
    m_connections.add(changed.connect([this, &control, get] {
        m_syncing = true;
        control.set_active(get());
        m_syncing = false;
    }));
}

void KoviMaxSettingsView::setShowApiKey(bool show)
{
    m_showApiKey = show;
    m_key.set_visibility(show);
    m_showKeyIcon.set_from_icon_name(iconNameForSymbol(show ? "eye.slash" : "eye", "image-missing-symbolic"));
    m_showKey.set_tooltip_text(show ? "Hide API Key" : "Show API Key");
}

void KoviMaxSettingsView::refreshProvider()
{
    (m_ai.selectedProvider() == AIProvider::anthropic ? m_anthropic : m_openAI).set_active(true);
}

void KoviMaxSettingsView::refreshMaterial()
{
    // Opaque fills stand in for the behind-window materials: GTK cannot blur what lies behind.
    const bool dark = m_appearance.isDarkMode();
    add_css_class(dark ? "hud" : "sidebar");
    remove_css_class(dark ? "sidebar" : "hud");
}

void KoviMaxSettingsView::onAppear()
{
    m_key.set_text(m_ai.apiKey());
    setShowApiKey(false);
}

} // namespace kovi
