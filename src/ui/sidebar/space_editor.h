#pragma once

#include "core/sidebar/space_editor_model.h"
#include "ui/design/motion.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/grid.h>
#include <gtkmm/image.h>
#include <gtkmm/window.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kovi {

class BrowserState;

// The sheet that creates a space or edits one (name, colour, icon, with a live preview) and
// deletes it. A modal window over the browser window; nothing reaches the state before Create,
// Save or Delete. Emits `closed` once when it goes away, whichever way.
class SpaceEditorWindow : public Gtk::Window {
public:
    SpaceEditorWindow(BrowserState& state, std::optional<Space> editing);
    ~SpaceEditorWindow() override;

    const SpaceDraft& draft() const { return m_draft; }
    // Everything the sheet shows; it fades in on the sheet's spring when the sheet opens.
    Gtk::Box& content() { return m_content; }
    Gtk::Entry& nameEntry() { return m_name; }
    Gtk::Button& saveButton() { return m_save; }
    Gtk::Button& deleteButton() { return m_delete; }
    Gtk::Button& closeButton() { return m_close; }
    Gtk::Button* colorSwatch(SpaceColor color) const;
    Gtk::Button* iconCell(const std::string& symbol) const;

    void selectColor(SpaceColor color);
    void selectIcon(const std::string& symbol);
    void save();
    void deleteSpace();
    void dismiss();

    sigc::signal<void()> closed;

private:
    void refresh();

    BrowserState& m_state;
    std::optional<Space> m_editing;
    SpaceDraft m_draft;
    bool m_closing = false;

    Gtk::Box m_content;
    std::unique_ptr<MotionValue> m_appear;
    Gtk::Button m_close;
    Gtk::Box m_preview;
    Gtk::Image m_previewIcon;
    Gtk::Entry m_name;
    Gtk::Grid m_colors;
    Gtk::Grid m_icons;
    Gtk::Button m_delete;
    Gtk::Button m_save;
    std::map<SpaceColor, Gtk::Button*> m_swatches;
    std::map<std::string, Gtk::Button*> m_iconCells;
};

} // namespace kovi
