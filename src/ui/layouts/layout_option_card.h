#pragma once

#include "core/state/browser_state.h"

#include <gtkmm/button.h>

#include <functional>
#include <string>

namespace kovi {

// One large selectable card standing for a layout: an icon tile, a title and a description of
// at most two lines. Hover lifts it to 1.02, a press shrinks it to 0.97 from the moment of
// touching down; the selected card shows the accent tile with its glow and a 2-px accent border.
// Clicking runs `action`; the creator decides the selection.
class LayoutOptionCard : public Gtk::Button {
public:
    LayoutOptionCard(BrowserLayoutMode mode, bool isSelected, const std::string& title,
                     const std::string& description, const std::string& iconName, std::function<void()> action);

    BrowserLayoutMode mode() const { return m_mode; }
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);

private:
    BrowserLayoutMode m_mode;
    bool m_isSelected = false;
    std::function<void()> m_action;
};

} // namespace kovi
