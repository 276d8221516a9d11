#pragma once

#include <gtkmm/box.h>
#include <gtkmm/switch.h>

#include <string>

namespace kovi {

// A row of the AI settings: an icon on a tinted tile, a title over a description, and a switch.
// `iconColor` names one of the palette's colours ("blue", "orange", "green", "purple").
class FeatureToggle : public Gtk::Box {
public:
    FeatureToggle(const char* icon, const std::string& iconColor, const char* title, const char* description);
    Gtk::Switch& toggle() { return m_switch; }

private:
    Gtk::Switch m_switch;
};

} // namespace kovi
