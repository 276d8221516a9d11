#include "ui/design/drawing.h"

#include <algorithm>
#include <cmath>

namespace kovi {

void addRoundedRect(const Cairo::RefPtr<Cairo::Context>& cr, double x, double y, double width, double height,
                    double radius)
{
    const double r = std::max(0.0, std::min(radius, std::min(width, height) / 2));
    cr->begin_new_sub_path();
    cr->arc(x + width - r, y + r, r, -M_PI / 2, 0);
    cr->arc(x + width - r, y + height - r, r, 0, M_PI / 2);
    cr->arc(x + r, y + height - r, r, M_PI / 2, M_PI);
    cr->arc(x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cr->close_path();
}

} // namespace kovi
