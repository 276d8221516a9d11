#include "ui/ai/feature_toggle.h"

#include "ui/design/symbols.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>

namespace kovi {

FeatureToggle::FeatureToggle(const char* icon, const std::string& iconColor, const char* title,
                             const char* description)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12)
{
    add_css_class("kovi-ai-feature");
    auto* tile = Gtk::make_managed<Gtk::Box>();
    tile->add_css_class("tile");
    tile->add_css_class("kovi-ai-" + iconColor);
    tile->set_size_request(28, 28);
    tile->set_valign(Gtk::Align::CENTER);
    tile->set_hexpand(false);
    auto* image = makeSymbolImage(icon, 14);
    image->set_hexpand(true);
    image->set_halign(Gtk::Align::CENTER);
    image->set_valign(Gtk::Align::CENTER);
    image->set_vexpand(true);
    tile->append(*image);
    append(*tile);

    auto* text = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    text->set_valign(Gtk::Align::CENTER);
    text->set_hexpand(true);
    auto* titleLabel = Gtk::make_managed<Gtk::Label>(title);
    titleLabel->add_css_class("title");
    titleLabel->set_xalign(0);
    auto* descriptionLabel = Gtk::make_managed<Gtk::Label>(description);
    descriptionLabel->add_css_class("description");
    descriptionLabel->add_css_class("kovi-secondary");
    descriptionLabel->set_xalign(0);
    descriptionLabel->set_wrap(true);
    text->append(*titleLabel);
    text->append(*descriptionLabel);
    append(*text);

    m_switch.set_valign(Gtk::Align::CENTER);
    gtk_accessible_update_property(GTK_ACCESSIBLE(m_switch.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, title, -1);
    append(m_switch);
}

} // namespace kovi
