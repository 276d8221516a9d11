#include "ui/library/saved_page_editor.h"

#include "core/support/text.h"
#include "ui/design/dialogs.h"
#include "ui/design/styles.h"
#include "ui/design/window_chrome.h"

#include <gtkmm/label.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/stringlist.h>

namespace kovi {

namespace {

const std::vector<Glib::ustring> collections{kBookmarksCollection, kReadingListCollection};

void addField(Gtk::Box& form, const char* title, Gtk::Widget& field)
{
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    auto* label = Gtk::make_managed<Gtk::Label>(title);
    label->set_xalign(1);
    label->set_size_request(72, -1);
    row->append(*label);
    field.set_hexpand(true);
    row->append(field);
    form.append(*row);
}

} // namespace

SavedPageEditor::SavedPageEditor(BrowserLibrary& library, const SavedPage& page, std::function<void()> onDone)
    : m_model(library, page), m_onDone(std::move(onDone))
{
    joinApplication(*this);
    add_css_class("saved-page-editor");
    set_title("Edit saved page");
    set_default_size(360, -1);
    set_resizable(false);

    m_form.set_margin(24);
    m_form.set_size_request(360 - 48, -1);
    auto* heading = Gtk::make_managed<Gtk::Label>("Edit saved page");
    heading->set_xalign(0);
    heading->add_css_class("heading");
    m_form.append(*heading);

    m_title.set_text(text::displayable(page.title));
    m_title.set_activates_default(true);
    addField(m_form, "Title", m_title);

    m_collection.set_model(Gtk::StringList::create(collections));
    m_collection.set_selected(page.collection == kReadingListCollection ? 1 : 0);
    addField(m_form, "Collection", m_collection);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    buttons->set_margin_top(8);
    m_cancel.set_label("Cancel");
    applyButtonStyle(m_cancel, ButtonVariant::secondary, ButtonSize::md);
    buttons->append(m_cancel);
    auto* spacer = Gtk::make_managed<Gtk::Box>();
    spacer->set_hexpand(true);
    buttons->append(*spacer);
    m_save.set_label("Save");
    applyButtonStyle(m_save, ButtonVariant::primary, ButtonSize::md);
    buttons->append(m_save);
    m_form.append(*buttons);
    useOwnTitleBar(*this, m_form);
    set_default_widget(m_save);

    m_title.signal_changed().connect([this] {
        m_model.setTitle(m_title.get_text());
        m_save.set_sensitive(m_model.canSave());
    });
    m_collection.property_selected().signal_changed().connect([this] {
        const guint index = m_collection.get_selected();
        if (index < collections.size())
            m_model.setCollection(collections[index]);
    });
    m_cancel.signal_clicked().connect([this] { finish(); });
    m_save.signal_clicked().connect([this] {
        if (!m_model.canSave())
            return;
        m_model.save();
        finish();
    });
    auto keys = Gtk::ShortcutController::create();
    keys->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape),
                                             Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
                                                 finish();
                                                 return true;
                                             })));
    add_controller(keys);
    signal_close_request().connect(
        [this] {
            finish();
            return true; // the owner destroys it
        },
        false);
    m_save.set_sensitive(m_model.canSave());
}

void SavedPageEditor::finish()
{
    hide();
    if (m_onDone)
        m_onDone();
}

} // namespace kovi
