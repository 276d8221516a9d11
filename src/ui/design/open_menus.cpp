#include "ui/design/open_menus.h"

#include <gtk/gtk.h>

namespace kovi {

void closeMenusWithin(GtkWidget* widget)
{
    if (GTK_IS_POPOVER(widget) && gtk_widget_get_visible(widget) && gtk_popover_get_autohide(GTK_POPOVER(widget)))
        gtk_popover_popdown(GTK_POPOVER(widget));
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        closeMenusWithin(child);
}

} // namespace kovi
