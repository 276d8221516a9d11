#pragma once

#include <cairomm/context.h>

namespace kovi {

// Adds a rounded rectangle to the current path as a new sub-path; the radius is limited to half
// the shorter side.
void addRoundedRect(const Cairo::RefPtr<Cairo::Context>& cr, double x, double y, double width, double height,
                    double radius);

} // namespace kovi
