#pragma once

#include <gtkmm/button.h>
#include <gtkmm/image.h>

#include <string>
#include <string_view>

namespace kovi {

// The small symbol button of the split panes' headers and the floating windows' toolbars: a
// 22 × 22 frame with the symbol at 11 px; drawn faint and deaf to clicks while disabled. Each
// place gives it its look through a style class.
class NavButton : public Gtk::Button {
public:
    static constexpr int size = 22;

    NavButton(std::string_view symbol, const char* styleClass, const char* tooltip = nullptr);

    void setSymbol(std::string_view symbol);
    const std::string& symbol() const { return m_symbol; }

private:
    Gtk::Image m_image;
    std::string m_symbol;
};

} // namespace kovi
