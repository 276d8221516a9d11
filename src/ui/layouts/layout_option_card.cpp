#include "ui/layouts/layout_option_card.h"

#include "ui/design/styles.h"
#include "ui/design/symbols.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

namespace kovi {

LayoutOptionCard::LayoutOptionCard(BrowserLayoutMode mode, bool isSelected, const std::string& title,
                                   const std::string& description, const std::string& iconName,
                                   std::function<void()> action)
    : m_mode(mode), m_action(std::move(action))
{
    add_css_class("kovi-layout-card");
    set_has_frame(false);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);

    auto* face = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    face->set_size_request(200, 180);
    face->set_valign(Gtk::Align::CENTER);
    face->set_halign(Gtk::Align::CENTER);

    // Icon area: the glow behind the tile (selected only), then the tile.
    auto* iconArea = Gtk::make_managed<Gtk::Overlay>();
    iconArea->set_halign(Gtk::Align::CENTER);
    auto* glow = Gtk::make_managed<Gtk::Box>();
    glow->add_css_class("kovi-layout-card-glow");
    glow->set_size_request(88, 88);
    glow->set_can_target(false);
    iconArea->set_child(*glow);
    auto* tile = Gtk::make_managed<Gtk::Box>();
    tile->add_css_class("kovi-layout-card-tile");
    tile->set_size_request(76, 76);
    tile->set_halign(Gtk::Align::CENTER);
    tile->set_valign(Gtk::Align::CENTER);
    auto* image = makeSymbolImage(iconName, 36);
    image->set_hexpand(true);
    image->set_halign(Gtk::Align::CENTER);
    image->set_valign(Gtk::Align::CENTER);
    tile->append(*image);
    iconArea->add_overlay(*tile);
    face->append(*iconArea);

    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    auto* titleLabel = Gtk::make_managed<Gtk::Label>(title);
    titleLabel->add_css_class("kovi-layout-card-title");
    auto* descriptionLabel = Gtk::make_managed<Gtk::Label>(description);
    descriptionLabel->add_css_class("kovi-layout-card-description");
    descriptionLabel->add_css_class("kovi-secondary");
    descriptionLabel->set_wrap(true);
    descriptionLabel->set_lines(2);
    descriptionLabel->set_ellipsize(Pango::EllipsizeMode::END);
    descriptionLabel->set_justify(Gtk::Justification::CENTER);
    descriptionLabel->set_max_width_chars(28);
    texts->append(*titleLabel);
    texts->append(*descriptionLabel);
    face->append(*texts);

    set_child(*face);
    setSelected(isSelected);
    signal_clicked().connect([this] {
        if (m_action)
            m_action();
    });
}

void LayoutOptionCard::setSelected(bool selected)
{
    m_isSelected = selected;
    setClass(*this, "selected", selected);
}

} // namespace kovi
