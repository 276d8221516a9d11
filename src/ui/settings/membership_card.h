#pragma once

#include <cairomm/context.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/label.h>

#include <optional>
#include <vector>

namespace kovi {

struct KoviUser;

// The decorative membership card of the Profile tab: a hill on a warm off-white card, the user's
// name, "Guest User" or "Early Adopter" (or "Not signed in" alone when nobody is), a badge with the date the account was made, and three
// buttons below that are not available yet. Its colours are fixed: the card looks the same light or dark.
class MembershipCard : public Gtk::Box {
public:
    static constexpr int width = 260;
    static constexpr int artworkHeight = 180;

    MembershipCard();
    void setUser(const std::optional<KoviUser>& user);

    Gtk::Label& nameLabel() { return m_name; }
    Gtk::Label& subtitleLabel() { return m_subtitle; }
    Gtk::Label& memberSinceLabel() { return m_memberSince; }
    const std::vector<Gtk::Button*>& actionButtons() const { return m_actions; }

    // The hill in an area of `width` × `height`: its sides rise to 0.7 of the height from the
    // bottom, its top lies at the middle, 0.35 of the height from the top; filled with the
    // card's three-colour gradient from top to bottom.
    static void drawHill(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);

private:
    Gtk::DrawingArea m_artwork;
    Gtk::Label m_name;
    Gtk::Label m_subtitle;
    Gtk::Label m_memberSince;
    std::vector<Gtk::Button*> m_actions;
};

} // namespace kovi
