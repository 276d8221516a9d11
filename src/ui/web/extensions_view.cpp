#include "ui/web/extensions_view.h"

#include "core/settings/appearance_manager.h"
#include "core/web/page_extension_sites.h"
#include "core/web/page_extension_store.h"
#include "ui/design/dialogs.h"
#include "ui/design/kovi_design.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/design/window_chrome.h"
#include "ui/web/web_view_styles.h"

#include <sigc++/adaptors/track_obj.h>
#include <adwaita.h>
#include <glibmm/main.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <gtkmm/switch.h>

namespace kovi {

namespace {

constexpr const char* chooserMessage = "Select an unpacked content-script extension folder containing manifest.json.";

Gtk::Label* makeLabel(const std::string& text, std::initializer_list<const char*> classes, bool wrap = false)
{
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0);
    label->set_halign(Gtk::Align::START);
    for (const char* css : classes)
        label->add_css_class(css);
    if (wrap) {
        // The whole width of the card: left at its natural width, a wrapped label breaks at a
        // fraction of it.
        label->set_halign(Gtk::Align::FILL);
        label->set_max_width_chars(90);
        label->set_wrap(true);
        label->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    }
    return label;
}

std::string joined(const std::vector<std::string>& values, const std::string& separator)
{
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += separator;
        out += values[i];
    }
    return out;
}

} // namespace

ExtensionsView::ExtensionsView(Gtk::Window& parent, PageExtensionStore& store, AppearanceManager& appearance,
                               std::function<void()> dismiss)
    : m_store(store)
    , m_appearance(appearance)
    , m_dismiss(std::move(dismiss))
    , m_root(Gtk::Orientation::VERTICAL, 16)
    , m_list(Gtk::Orientation::VERTICAL, 12)
{
    joinApplication(*this);
    set_transient_for(parent);
    set_modal(true);
    set_resizable(false);
    set_title("Page Extensions");
    add_css_class("kovi-extensions-window");

    m_root.add_css_class("kovi-extensions-sheet");
    useOwnTitleBar(*this, m_root, 650, 540);

    // Header.
    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    auto* titles = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    titles->append(*makeLabel("Page Extensions", {"kovi-extensions-title"}));
    titles->append(*makeLabel("Make the web feel more like yours.", {"kovi-extensions-subtitle", "kovi-secondary"}));
    titles->set_hexpand(true);
    titles->set_valign(Gtk::Align::CENTER);
    header->append(*titles);
    m_close.set_child(*makeSymbolImage("xmark", 13));
    applyIconButtonStyle(m_close, KoviDesign::ButtonSize::md, false);
    m_close.set_valign(Gtk::Align::CENTER);
    m_close.set_tooltip_text("Close");
    m_close.signal_clicked().connect([this] {
        if (m_dismiss)
            m_dismiss();
    });
    header->append(m_close);
    m_root.append(*header);

    m_root.append(*makeLabel("Beta supports local CSS and JavaScript content-script extensions. Chrome Web Store "
                             "packages, Safari extensions, background scripts, browser APIs, and extension popups "
                             "are not supported.",
                             {"kovi-extensions-notice", "kovi-secondary"}, true));

    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_vexpand(true);
    m_list.set_valign(Gtk::Align::START);
    m_scroller.set_child(m_list);
    m_root.append(m_scroller);

    m_root.append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));

    auto* footer = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    auto* note = makeLabel("Reload open pages after changing extensions.", {"kovi-extensions-footer-note", "kovi-secondary"});
    note->set_hexpand(true);
    note->set_valign(Gtk::Align::CENTER);
    footer->append(*note);
    m_import.set_label("Import Folder\u2026");
    applyWebButtonStyle(m_import);
    m_import.signal_clicked().connect(sigc::mem_fun(*this, &ExtensionsView::chooseFolder));
    footer->append(m_import);
    m_root.append(*footer);

    signal_close_request().connect(
        [this] {
            if (m_dismiss)
                m_dismiss();
            return true; // the presenter destroys the sheet
        },
        false);

    m_connections.add(m_store.extensionsChanged().connect(sigc::mem_fun(*this, &ExtensionsView::scheduleRebuild)));
    m_connections.add(m_store.errorMessageChanged().connect(sigc::mem_fun(*this, &ExtensionsView::refreshAlert)));
    m_connections.add(m_appearance.isDarkModeChanged.connect(sigc::mem_fun(*this, &ExtensionsView::applyAppearance)));
    applyAppearance();
    rebuildCards();
    // A file that could not be read at start says so as soon as the sheet opens.
    refreshAlert();
}

ExtensionsView::~ExtensionsView()
{
    m_connections.clear();
    m_rebuild.disconnect();
    if (m_chooser)
        m_chooser->hide();
    if (m_alert) {
        g_signal_handlers_disconnect_by_data(m_alert, this);
        gtk_window_destroy(GTK_WINDOW(m_alert));
    }
    closeConfirmation();
}

void ExtensionsView::applyAppearance()
{
    bool dark = m_appearance.isDarkMode();
    for (Gtk::Window* window : {static_cast<Gtk::Window*>(this), m_confirmation.get()}) {
        if (!window)
            continue;
        window->add_css_class(dark ? "kovi-dark" : "kovi-light");
        window->remove_css_class(dark ? "kovi-light" : "kovi-dark");
    }
}

// ---- Cards ----------------------------------------------------------------------------------

std::vector<Gtk::Box*> ExtensionsView::cards() const
{
    std::vector<Gtk::Box*> out;
    for (auto* child = m_list.get_first_child(); child; child = child->get_next_sibling())
        out.push_back(dynamic_cast<Gtk::Box*>(const_cast<Gtk::Widget*>(child)));
    return out;
}

void ExtensionsView::scheduleRebuild()
{
    // A switch or button that changed the store is still running its handler: rebuild after.
    if (m_rebuild.connected())
        return;
    m_rebuild = Glib::signal_idle().connect([this] {
        rebuildCards();
        return false;
    });
}

void ExtensionsView::rebuildCards()
{
    while (auto* child = m_list.get_first_child())
        m_list.remove(*child);
    for (const auto& extension : m_store.extensions())
        m_list.append(*makeCard(extension));
}

Gtk::Box* ExtensionsView::makeCard(const PageExtension& extension)
{
    auto* card = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 10);
    applyCardStyle(*card, KoviDesign::Spacing::lg);
    card->add_css_class("kovi-extension-card");

    auto* top = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    auto* icon = makeSymbolImage("puzzlepiece.extension", 16);
    icon->add_css_class("kovi-extension-icon");
    top->append(*icon);
    top->append(*makeLabel(extension.name, {"kovi-extension-name"}));
    auto* version = makeLabel(extension.isBuiltIn ? "BUILT IN" : extension.version,
                              {"kovi-extension-version", "kovi-secondary"});
    version->set_valign(Gtk::Align::CENTER);
    version->set_hexpand(true);
    top->append(*version);
    auto* toggle = Gtk::make_managed<Gtk::Switch>();
    toggle->set_valign(Gtk::Align::CENTER);
    toggle->set_active(extension.enabled);
    std::string label = "Enable " + extension.name;
    toggle->set_tooltip_text(label);
    gtk_accessible_update_property(GTK_ACCESSIBLE(toggle->gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, label.c_str(), -1);
    Uuid id = extension.id;
    toggle->signal_state_set().connect(
        [this, id](bool on) {
            m_store.setEnabled(id, on);
            // The card shows what the store holds, also when the change was refused.
            scheduleRebuild();
            return true;
        },
        false);
    top->append(*toggle);
    card->append(*top);

    card->append(*makeLabel(extension.description, {"kovi-extension-description", "kovi-secondary"}, true));
    card->append(*makeLabel(pageExtensionSiteAccessText(extension), {"kovi-extension-sites", "kovi-secondary"}, true));
    if (!extension.isBuiltIn) {
        auto* remove = Gtk::make_managed<Gtk::Button>("Remove");
        remove->add_css_class("flat");
        remove->add_css_class("kovi-extension-remove");
        remove->set_halign(Gtk::Align::START);
        remove->signal_clicked().connect([this, id] { m_store.remove(id); });
        card->append(*remove);
    }
    return card;
}

// ---- Import ---------------------------------------------------------------------------------

void ExtensionsView::chooseFolder()
{
    if (m_chooser)
        return;
    m_chooser = Gtk::FileChooserNative::create(chooserMessage, *this, Gtk::FileChooser::Action::SELECT_FOLDER);
    m_chooser->set_modal(true);
    m_chooser->set_select_multiple(false);
    m_chooser->signal_response().connect([this](int response) {
        auto chooser = std::move(m_chooser);
        if (response != GTK_RESPONSE_ACCEPT)
            return;
        auto file = chooser->get_file();
        if (!file || file->get_path().empty())
            return;
        importFolder(file->get_path());
    });
    m_chooser->show();
}

void ExtensionsView::importFolder(const std::string& folder)
{
    auto read = PageExtensionStore::readFolder(folder);
    if (!read) {
        m_importError = read.error().message;
        refreshAlert();
        return;
    }
    m_pending = std::move(read.value());
    showConfirmation();
}

void ExtensionsView::showConfirmation()
{
    closeConfirmation();
    if (!m_pending)
        return;
    auto window = std::make_unique<Gtk::Window>();
    joinApplication(*window);
    window->set_transient_for(*this);
    window->set_modal(true);
    window->set_resizable(false);
    window->set_title("Install Extension");

    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    box->add_css_class("kovi-extension-install");
    box->add_css_class("background");
    box->append(*makeLabel("Install " + m_pending->name + "?", {"kovi-extension-install-title"}, true));
    box->append(*makeLabel(m_pending->description, {"kovi-extension-install-description"}, true));
    box->append(*makeLabel("This extension can read and change page content on:", {"kovi-extension-install-heading"}, true));
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::AUTOMATIC, Gtk::PolicyType::AUTOMATIC);
    scroller->set_max_content_height(130);
    scroller->set_propagate_natural_height(true);
    auto* sites = makeLabel(joined(pageExtensionSiteList(*m_pending), "\n"), {"kovi-extension-install-sites"});
    sites->set_hexpand(true);
    sites->set_selectable(true);
    scroller->set_child(*sites);
    box->append(*scroller);
    box->append(*makeLabel("Only install code you trust. It can access information you enter on matching pages.",
                           {"kovi-extension-install-warning", "kovi-secondary"}, true));
    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
    auto* cancel = Gtk::make_managed<Gtk::Button>("Cancel");
    cancel->set_hexpand(true);
    cancel->set_halign(Gtk::Align::START);
    cancel->signal_clicked().connect([this] {
        Glib::signal_idle().connect_once(sigc::track_object([this] { cancelInstall(); }, *this));
    });
    buttons->append(*cancel);
    auto* install = Gtk::make_managed<Gtk::Button>("Install and Enable");
    install->add_css_class("suggested-action");
    install->signal_clicked().connect([this] {
        Glib::signal_idle().connect_once(sigc::track_object([this] { confirmInstall(); }, *this));
    });
    buttons->append(*install);
    box->append(*buttons);
    useOwnTitleBar(*window, *box, 470);
    window->signal_close_request().connect(
        [this] {
            // Any other way of closing the confirmation cancels it.
            Glib::signal_idle().connect_once(sigc::track_object([this] { cancelInstall(); }, *this));
            return true;
        },
        false);
    m_confirmation = std::move(window);
    applyAppearance();
    m_confirmation->present();
}

void ExtensionsView::closeConfirmation()
{
    if (!m_confirmation)
        return;
    auto window = std::move(m_confirmation);
    window->hide();
}

void ExtensionsView::confirmInstall()
{
    if (m_pending)
        m_store.install(*m_pending);
    m_pending.reset();
    closeConfirmation();
}

void ExtensionsView::cancelInstall()
{
    m_pending.reset();
    closeConfirmation();
}

// ---- Alert ----------------------------------------------------------------------------------

std::optional<std::string> ExtensionsView::alertMessage() const
{
    if (m_importError)
        return m_importError;
    return m_store.errorMessage();
}

void ExtensionsView::refreshAlert()
{
    auto message = alertMessage();
    if (!message) {
        if (m_alert) {
            g_signal_handlers_disconnect_by_data(m_alert, this);
            gtk_window_destroy(GTK_WINDOW(m_alert));
            m_alert = nullptr;
        }
        return;
    }
    if (m_alert) {
        adw_message_dialog_set_body(m_alert, message->c_str());
        return;
    }
    m_alert = ADW_MESSAGE_DIALOG(adw_message_dialog_new(gobj(), "Page Extensions", message->c_str()));
    adw_message_dialog_add_response(m_alert, "ok", "OK");
    adw_message_dialog_set_default_response(m_alert, "ok");
    adw_message_dialog_set_close_response(m_alert, "ok");
    g_signal_connect(m_alert, "response", G_CALLBACK(&ExtensionsView::onAlertResponse), this);
    presentOverParent(GTK_WINDOW(m_alert));
}

void ExtensionsView::onAlertResponse(AdwMessageDialog* dialog, const char*, gpointer self) noexcept
{
    auto* view = static_cast<ExtensionsView*>(self);
    if (view->m_alert == dialog) {
        // The dialog closes itself after a response.
        g_signal_handlers_disconnect_by_data(dialog, view);
        view->m_alert = nullptr;
    }
    view->dismissAlert();
}

void ExtensionsView::dismissAlert()
{
    m_importError.reset();
    m_store.setErrorMessage(std::nullopt); // emits errorMessageChanged → refreshAlert
    refreshAlert();
}

} // namespace kovi
