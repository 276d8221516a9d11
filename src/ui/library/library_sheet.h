#pragma once

#include "core/libraryviews/library_sheet_model.h"
#include "core/support/scoped_connections.h"
#include "ui/library/recycler_list.h"
#include "ui/library/message_alert.h"
#include "ui/library/saved_page_editor.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/label.h>
#include <gtkmm/stack.h>
#include <gtkmm/togglebutton.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <array>
#include <memory>
#include <vector>

namespace kovi {

class Theme;

// The library sheet: saved pages of "Bookmarks" and "Reading List" and saved workspaces, with a
// search, the save button of the section, import and export through the desktop's file dialogs,
// the saved-page editor and the "Library" alert. What it shows and does is LibrarySheetModel's.
// Closing it (close button, opening a page or workspace, the window's own close) clears the
// browser state's isLibraryVisible; its presenter then takes it down. The references must
// outlive it.
class LibrarySheet : public Gtk::Window {
public:
    static constexpr int width = 640;
    static constexpr int height = 550;

    LibrarySheet(BrowserLibrary& library, BrowserState& state, Theme& theme);
    ~LibrarySheet() override;

    LibrarySheetModel& model() { return m_model; }
    Gtk::Entry& searchEntry() { return m_search; }
    Gtk::ToggleButton& sectionButton(LibrarySection section);
    Gtk::Button& saveButton() { return m_saveCurrent; }
    Gtk::Button& importButton() { return m_import; }
    Gtk::Button& exportButton() { return m_export; }
    Gtk::Button& closeButton() { return m_close; }
    Gtk::Label& emptyTitle() { return m_emptyTitle; }
    bool isShowingEmptyState() const;
    RecyclerList& pageList() { return m_pageList; }
    RecyclerList& workspaceList() { return m_workspaceList; }
    // The rows in view, top to bottom.
    std::vector<Gtk::Widget*> shownRows() const;
    SavedPageEditor* editor() const { return m_editor.get(); }
    MessageAlert* alert() const { return m_alert.get(); }
    Gtk::FileChooserNative* fileChooser() const { return m_chooser.get(); }

    // Opens the editor for a saved page, as its row's pencil does.
    void edit(const Uuid& pageId);

private:
    void buildHeader(Gtk::Box& column);
    void buildPicker(Gtk::Box& column);
    void buildSearch(Gtk::Box& column);
    void buildLists();
    void buildFooter(Gtk::Box& column);
    void refreshList();
    void refreshFooter();
    void refreshAlert();
    void chooseFile(bool exporting);
    void dropLater(std::unique_ptr<Gtk::Window> window);
    void dismiss();

    Theme& m_theme;
    BrowserState& m_state;
    BrowserLibrary& m_library;
    LibrarySheetModel m_model;

    Gtk::Button m_close;
    std::array<Gtk::ToggleButton, 3> m_sections;
    Gtk::Entry m_search;
    Gtk::Stack m_content;
    Gtk::Box m_empty{Gtk::Orientation::VERTICAL, 10};
    Gtk::Label m_emptyTitle;
    Gtk::Label m_emptyDetail;
    RecyclerList m_pageList;
    RecyclerList m_workspaceList;
    Gtk::Button m_saveCurrent;
    Gtk::Button m_import;
    Gtk::Button m_export;

    std::unique_ptr<SavedPageEditor> m_editor;
    std::unique_ptr<MessageAlert> m_alert;
    Glib::RefPtr<Gtk::FileChooserNative> m_chooser;
    std::vector<std::unique_ptr<Gtk::Window>> m_closed;
    sigc::connection m_dropIdle;
    ScopedConnections m_connections;
};

} // namespace kovi
