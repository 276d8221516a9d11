#pragma once

#include "core/libraryviews/saved_page_editor_model.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/entry.h>
#include <gtkmm/window.h>

#include <functional>

namespace kovi {

// The small sheet that changes one saved page's title and collection. Save is offered only for a
// title that is not blank and passes the title as typed; Cancel and Save both close it through
// `onDone`, after which its owner destroys it.
class SavedPageEditor : public Gtk::Window {
public:
    SavedPageEditor(BrowserLibrary& library, const SavedPage& page, std::function<void()> onDone);

    Gtk::Entry& titleEntry() { return m_title; }
    Gtk::DropDown& collectionPicker() { return m_collection; }
    Gtk::Button& saveButton() { return m_save; }
    Gtk::Button& cancelButton() { return m_cancel; }

private:
    void finish();

    SavedPageEditorModel m_model;
    std::function<void()> m_onDone;
    Gtk::Box m_form{Gtk::Orientation::VERTICAL, 12};
    Gtk::Entry m_title;
    Gtk::DropDown m_collection;
    Gtk::Button m_cancel;
    Gtk::Button m_save;
};

} // namespace kovi
