#pragma once

typedef struct _GtkWidget GtkWidget;

namespace kovi {

// Closes every menu (a popover that hides on a click outside it) open on `widget` or anything
// inside it.
void closeMenusWithin(GtkWidget* widget);

} // namespace kovi
