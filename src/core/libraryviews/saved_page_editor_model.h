#pragma once

#include "core/library/library_archive.h"

#include <string>

namespace kovi {

class BrowserLibrary;

// The saved-page editor's copy of one page: its title and collection can change; Save hands the
// copy, title untrimmed, to the library. Main thread only.
class SavedPageEditorModel {
public:
    SavedPageEditorModel(BrowserLibrary& library, SavedPage page) : m_library(library), m_page(std::move(page)) {}

    const SavedPage& page() const { return m_page; }
    void setTitle(std::string title) { m_page.title = std::move(title); }
    void setCollection(std::string collection) { m_page.collection = std::move(collection); }
    // A title of blanks and line breaks cannot be saved.
    bool canSave() const;
    // Replaces the saved page of the same id; does nothing when canSave() is false.
    void save();

private:
    BrowserLibrary& m_library;
    SavedPage m_page;
};

} // namespace kovi
