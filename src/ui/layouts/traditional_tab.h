#pragma once

#include "core/model/tab.h"
#include "ui/base/tab_menu.h"
#include "ui/design/trailing_controls.h"
#include "ui/layouts/tab_favicon.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/widget.h>

#include <functional>
#include <memory>
#include <string>

namespace kovi {

// One normal tab of the horizontal strip: the drop indicator while another tab is dragged over
// it, then the tab (favicon or spinner, one-line title, close button shown over the title's end
// while the tab is hovered or active), 140 to 220 px wide whatever its title, the title as
// its tooltip, and the tab's context menu. The strip keeps one per tab and updates it in place.
// Main thread only.
class TraditionalTab : public Gtk::Widget {
public:
    static constexpr int minimumWidth = 140;
    static constexpr int maximumWidth = 220;
    static constexpr int indicatorWidth = 3 + 4; // the bar and its gap

    TraditionalTab(const Tab& tab, std::function<void()> onClose);
    ~TraditionalTab() override;

    const Uuid& tabId() const { return m_tabId; }
    void update(const Tab& tab);

    void setActive(bool active);
    void setHovered(bool hovered);
    void setDragTarget(bool target);
    void setDragged(bool dragged);
    bool isActive() const { return m_isActive; }
    bool isHovered() const { return m_isHovered; }
    bool isDragTarget() const { return m_indicator.get_visible(); }
    bool isCloseShown() const { return m_isActive || m_isHovered; }

    Gtk::Widget& body() { return m_body; }
    Gtk::Label& titleLabel() { return m_title; }
    Gtk::Button& closeButton() { return m_close; }
    TabFavicon& favicon() { return m_favicon; }
    // The context menu, owned by the tab (its popover is the tab's child).
    void setMenu(std::unique_ptr<TabMenu> menu) { m_menu = std::move(menu); }
    TabMenu* menu() const { return m_menu.get(); }

protected:
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    void refreshLook();
    void release();

    Uuid m_tabId;
    bool m_isActive = false;
    bool m_isHovered = false;
    Gtk::Box m_indicator;
    Gtk::Box m_body{Gtk::Orientation::HORIZONTAL, 8};
    TabFavicon m_favicon{true};
    std::string m_titleText; // the tab's title as it came, which the label shows cut short
    Gtk::Label m_title;
    Gtk::Button m_close;
    TrailingControls m_titleArea{m_title, m_close, 8}; // the close button over the title's end
    std::unique_ptr<TabMenu> m_menu;
};

} // namespace kovi
