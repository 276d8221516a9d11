#include "ui/library/library_sheet.h"

#include "core/library/browser_library.h"
#include "core/state/browser_state.h"
#include "ui/base/command_action.h"
#include "ui/design/dialogs.h"
#include "ui/design/kovi_design.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/design/theme.h"
#include "ui/design/window_chrome.h"
#include "ui/library/library_rows.h"

#include <giomm/file.h>
#include <glibmm/miscutils.h>
#include <glibmm/main.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/image.h>
#include <gtkmm/separator.h>
#include <gtkmm/shortcutcontroller.h>


namespace kovi {

namespace {

Gtk::Widget* spacer()
{
    auto* box = Gtk::make_managed<Gtk::Box>();
    box->set_hexpand(true);
    return box;
}

} // namespace

LibrarySheet::LibrarySheet(BrowserLibrary& library, BrowserState& state, Theme& theme)
    : m_theme(theme), m_state(state), m_library(library), m_model(library, state),
      m_pageList(
          {nullptr,
           [this](int) -> Gtk::Widget* {
               return Gtk::make_managed<SavedPageRow>(m_model, [this](const Uuid& id) { edit(id); });
           },
           [this](Gtk::Widget& row, std::size_t index) {
               if (index < m_model.rowCount() && !m_model.listsWorkspaces())
                   static_cast<SavedPageRow&>(row).bind(m_model.pageAt(index), m_model.section());
           }},
          8, 20),
      m_workspaceList({nullptr, [this](int) -> Gtk::Widget* { return Gtk::make_managed<WorkspaceRow>(m_model); },
                       [this](Gtk::Widget& row, std::size_t index) {
                           if (index < m_model.rowCount() && m_model.listsWorkspaces())
                               static_cast<WorkspaceRow&>(row).bind(m_model.workspaceAt(index));
                       }},
                      8, 20)
{
    joinApplication(*this);
    add_css_class("library-sheet");
    set_title("Library");
    set_resizable(false);
    useOwnTitleBar(*this);

    // The size is the content's: the frame the window draws around it comes on top.
    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    column->set_size_request(width, height);
    buildHeader(*column);
    buildPicker(*column);
    buildSearch(*column);
    column->append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));
    buildLists();
    column->append(m_content);
    column->append(*Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::HORIZONTAL));
    buildFooter(*column);
    set_child(*column);
    // Typing right after opening it searches, as in the desktop's file dialogs.
    set_focus(m_search);

    m_connections.add(m_model.listChanged.connect([this] { refreshList(); }));
    m_connections.add(m_model.footerChanged.connect([this] { refreshFooter(); }));
    m_connections.add(m_model.alertChanged.connect([this] { refreshAlert(); }));
    m_connections.add(m_model.dismissRequested.connect([this] { dismiss(); }));
    signal_close_request().connect(
        [this] {
            dismiss();
            return true; // the presenter takes the sheet down
        },
        false);
    // Escape closes it, as it closes the desktop's dialogs.
    auto keys = Gtk::ShortcutController::create();
    keys->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape),
                                             Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
                                                 dismiss();
                                                 return true;
                                             })));
    add_controller(keys);

    refreshList();
    refreshFooter();
    // A library that could not be read says so as soon as the sheet is up.
    signal_map().connect([this] { refreshAlert(); });
}

LibrarySheet::~LibrarySheet()
{
    m_connections.clear();
    m_dropIdle.disconnect();
    m_alert.reset();
    m_editor.reset();
    if (m_chooser)
        m_chooser->hide();
}

void LibrarySheet::buildHeader(Gtk::Box& column)
{
    auto* header = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    header->set_margin(20);
    auto* titles = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    auto* title = Gtk::make_managed<Gtk::Label>("Your Library");
    title->add_css_class("library-title");
    title->set_xalign(0);
    auto* subtitle = Gtk::make_managed<Gtk::Label>("Keep the good finds. Pick up where you left off.");
    subtitle->add_css_class("library-subtitle");
    subtitle->set_xalign(0);
    titles->append(*title);
    titles->append(*subtitle);
    header->append(*titles);
    header->append(*spacer());
    m_close.set_child(*makeSymbolImage("xmark"));
    m_close.set_tooltip_text("Close Library");
    m_close.set_valign(Gtk::Align::START);
    applyIconButtonStyle(m_close, KoviDesign::ButtonSize::md);
    m_close.signal_clicked().connect([this] { dismiss(); });
    header->append(m_close);
    // The heading is the window's title bar.
    auto* handle = Gtk::make_managed<WindowDragHandle>();
    handle->set_child(*header);
    column.append(*handle);
}

void LibrarySheet::buildPicker(Gtk::Box& column)
{
    auto* picker = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
    picker->add_css_class("linked");
    picker->add_css_class("library-picker");
    picker->set_margin_start(20);
    picker->set_margin_end(20);
    picker->set_homogeneous(true);
    for (std::size_t i = 0; i < librarySections.size(); ++i) {
        Gtk::ToggleButton& button = m_sections[i];
        const LibrarySection section = librarySections[i];
        button.set_label(Glib::ustring(std::string(librarySectionTitle(section))));
        button.set_focus_on_click(false);
        if (i > 0)
            button.set_group(m_sections[0]);
        button.signal_toggled().connect([this, &button, section] {
            if (button.get_active())
                m_model.setSection(section);
        });
        picker->append(button);
    }
    m_sections[0].set_active(true);
    column.append(*picker);
}

void LibrarySheet::buildSearch(Gtk::Box& column)
{
    auto* field = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    applyInputStyle(*field);
    field->set_margin(20);
    auto* glass = makeSymbolImage("magnifyingglass", 14);
    glass->add_css_class("kovi-secondary");
    field->append(*glass);
    m_search.set_placeholder_text("Search your library");
    m_search.set_has_frame(false);
    m_search.set_hexpand(true);
    m_search.add_css_class("library-search");
    m_search.signal_changed().connect([this] { m_model.setQuery(m_search.get_text()); });
    field->append(m_search);
    column.append(*field);
}

void LibrarySheet::buildLists()
{
    m_content.set_vexpand(true);
    m_content.set_transition_type(Gtk::StackTransitionType::NONE);

    m_empty.add_css_class("library-empty");
    m_empty.set_valign(Gtk::Align::START);
    m_empty.set_margin_top(55);
    m_empty.set_margin_bottom(55);
    auto* books = makeSymbolImage("books.vertical", 28);
    books->add_css_class("kovi-secondary");
    m_empty.append(*books);
    m_emptyTitle.add_css_class("heading");
    m_empty.append(m_emptyTitle);
    m_emptyDetail.add_css_class("library-row-detail");
    m_emptyDetail.set_justify(Gtk::Justification::CENTER);
    m_emptyDetail.set_wrap(true);
    m_empty.append(m_emptyDetail);
    m_content.add(m_empty, "empty");

    m_content.add(m_pageList, "pages");
    m_content.add(m_workspaceList, "workspaces");
}

void LibrarySheet::buildFooter(Gtk::Box& column)
{
    auto* footer = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    footer->set_margin(16);
    applyButtonStyle(m_saveCurrent, ButtonVariant::secondary, ButtonSize::sm);
    footer->append(m_saveCurrent);
    footer->append(*spacer());
    m_import.set_label("Import\u2026");
    m_export.set_label("Export\u2026");
    for (auto* button : {&m_import, &m_export}) {
        applyButtonStyle(*button, ButtonVariant::secondary, ButtonSize::sm);
        footer->append(*button);
    }
    m_import.signal_clicked().connect([this] { chooseFile(false); });
    m_export.signal_clicked().connect([this] { chooseFile(true); });
    column.append(*footer);
}

Gtk::ToggleButton& LibrarySheet::sectionButton(LibrarySection section)
{
    for (std::size_t i = 0; i < librarySections.size(); ++i) {
        if (librarySections[i] == section)
            return m_sections[i];
    }
    return m_sections[0];
}

bool LibrarySheet::isShowingEmptyState() const
{
    return m_content.get_visible_child_name() == "empty";
}

std::vector<Gtk::Widget*> LibrarySheet::shownRows() const
{
    return m_model.listsWorkspaces() ? m_workspaceList.shownRows() : m_pageList.shownRows();
}

void LibrarySheet::refreshList()
{
    // The list that is not shown is emptied.
    m_pageList.setCount(m_model.listsWorkspaces() ? 0 : m_model.rowCount());
    m_workspaceList.setCount(m_model.listsWorkspaces() ? m_model.rowCount() : 0);
    if (auto empty = m_model.emptyState()) {
        m_emptyTitle.set_text(empty->title);
        m_emptyDetail.set_text(empty->detail);
        m_content.set_visible_child("empty");
    } else {
        m_content.set_visible_child(m_model.listsWorkspaces() ? "workspaces" : "pages");
    }
}

void LibrarySheet::refreshFooter()
{
    // The menu's own commands, so the button is enabled exactly when they are.
    m_saveCurrent.set_label(m_model.saveButtonTitle());
    m_saveCurrent.set_action_name(appAction(m_model.saveCommand()));
}

void LibrarySheet::refreshAlert()
{
    if (!get_mapped())
        return;
    auto message = m_model.alertMessage();
    if (!message) {
        m_alert.reset();
        return;
    }
    if (m_alert && m_alert->isOpen()) {
        m_alert->setBody(*message);
        return;
    }
    m_alert = std::make_unique<MessageAlert>(*this, "Library", *message, [this] { m_model.dismissAlert(); });
}

void LibrarySheet::edit(const Uuid& pageId)
{
    auto page = m_model.page(pageId);
    if (!page || m_editor)
        return;
    m_editor = std::make_unique<SavedPageEditor>(m_library, *page, [this] { dropLater(std::move(m_editor)); });
    m_editor->set_transient_for(*this);
    m_editor->set_modal(true);
    m_theme.attach(*m_editor);
    m_editor->present();
}

void LibrarySheet::chooseFile(bool exporting)
{
    if (m_chooser)
        return;
    m_chooser = Gtk::FileChooserNative::create(exporting ? "Export Library" : "Import Library", *this,
                                               exporting ? Gtk::FileChooser::Action::SAVE : Gtk::FileChooser::Action::OPEN,
                                               exporting ? "Export" : "Import", "Cancel");
    auto filter = Gtk::FileFilter::create();
    filter->set_name("JSON");
    filter->add_mime_type("application/json");
    filter->add_pattern("*.json");
    m_chooser->add_filter(filter);
    m_chooser->set_modal(true);
    // Rather than the folder the program happened to start in.
    m_chooser->set_current_folder(Gio::File::create_for_path(Glib::get_home_dir()));
    if (exporting)
        m_chooser->set_current_name(BrowserLibrary::exportFileName);
    m_chooser->signal_response().connect([this, exporting](int response) {
        Glib::RefPtr<Gio::File> file;
        if (response == Gtk::ResponseType::ACCEPT)
            file = m_chooser->get_file();
        m_chooser.reset();
        // A file the portal hands over only by URI has no local path; nothing is read then.
        const std::string path = file ? file->get_path() : std::string();
        if (path.empty())
            return;
        if (exporting)
            m_model.exportFile(path);
        else
            m_model.importFile(path);
    });
    m_chooser->show();
}

void LibrarySheet::dropLater(std::unique_ptr<Gtk::Window> window)
{
    if (!window)
        return;
    window->hide();
    // Deleted after the handler that closed it has returned.
    m_closed.push_back(std::move(window));
    if (!m_dropIdle.connected()) {
        m_dropIdle = Glib::signal_idle().connect([this] {
            m_closed.clear();
            return false;
        });
    }
}

void LibrarySheet::dismiss()
{
    m_state.setIsLibraryVisible(false);
}

} // namespace kovi
