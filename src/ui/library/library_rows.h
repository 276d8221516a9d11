#pragma once

#include "core/libraryviews/library_sheet_model.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

#include <functional>
#include <optional>

namespace kovi {

// The rows of the library sheet's lazy lists. A row is made once and then bound to whichever
// saved page or workspace scrolls into its place; its buttons act on the one bound last.

// A saved page: symbol, title and host (a click opens it), the read toggle in the Reading List,
// edit and remove.
class SavedPageRow : public Gtk::Box {
public:
    SavedPageRow(LibrarySheetModel& model, std::function<void(const Uuid&)> onEdit);
    void bind(const SavedPage& page, LibrarySection section);

    const std::optional<Uuid>& pageId() const { return m_pageId; }
    Gtk::Button& openButton() { return m_open; }
    Gtk::Button& readButton() { return m_read; }
    Gtk::Button& editButton() { return m_edit; }
    Gtk::Button& removeButton() { return m_remove; }
    Gtk::Label& titleLabel() { return m_title; }

private:
    LibrarySheetModel& m_model;
    std::optional<Uuid> m_pageId;
    Gtk::Image m_symbol;
    Gtk::Button m_open;
    Gtk::Box m_texts{Gtk::Orientation::VERTICAL, 4};
    Gtk::Label m_title;
    Gtk::Label m_host;
    Gtk::Button m_read;
    Gtk::Button m_edit;
    Gtk::Button m_remove;
};

// A saved workspace: its name, "N tabs · date", "Open as Space" and delete.
class WorkspaceRow : public Gtk::Box {
public:
    explicit WorkspaceRow(LibrarySheetModel& model);
    void bind(const WorkspaceSnapshot& workspace);

    const std::optional<Uuid>& workspaceId() const { return m_workspaceId; }
    Gtk::Button& restoreButton() { return m_restore; }
    Gtk::Button& removeButton() { return m_remove; }
    Gtk::Label& nameLabel() { return m_name; }
    Gtk::Label& detailLabel() { return m_detail; }

private:
    LibrarySheetModel& m_model;
    std::optional<Uuid> m_workspaceId;
    Gtk::Image m_symbol;
    Gtk::Box m_texts{Gtk::Orientation::VERTICAL, 4};
    Gtk::Label m_name;
    Gtk::Label m_detail;
    Gtk::Button m_restore;
    Gtk::Button m_remove;
};

} // namespace kovi
