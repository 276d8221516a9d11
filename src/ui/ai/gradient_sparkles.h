#pragma once

#include <gtkmm/drawingarea.h>

#include <vector>

namespace kovi {

// The "sparkles" symbol filled with a linear gradient from the top-leading to the
// bottom-trailing corner. Symbolic icons take a single colour, so it is drawn here.
class GradientSparkles : public Gtk::DrawingArea {
public:
    struct Color {
        double red, green, blue;
    };
    GradientSparkles(int size, std::vector<Color> stops);

private:
    void draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);

    std::vector<Color> m_stops;
};

} // namespace kovi
