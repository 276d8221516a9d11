#include "ui/design/tooltips.h"

#include "core/support/text.h"

#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/tooltip.h>
#include <sigc++/adaptors/track_obj.h>

namespace kovi {

namespace {

void watchPopover(Gtk::MenuButton& button)
{
    Gtk::Popover* popover = button.get_popover();
    if (!popover)
        return;
    // The popover can outlive its button (a menu left open when the button went): the handlers
    // go with the button.
    popover->signal_show().connect(sigc::track_obj(
        [&button] {
            button.set_has_tooltip(false);
            button.trigger_tooltip_query(); // takes down a tooltip already shown
        },
        button));
    popover->signal_hide().connect(sigc::track_obj([&button] { button.set_has_tooltip(true); }, button));
}

constexpr const char* tooltipLabelKey = "kovi-text-tooltip-label";

// The label of the widget's tooltip, made on first use; the widget holds it for its lifetime.
void showTooltipInOwnLabel(Gtk::Widget& widget)
{
    GObject* object = G_OBJECT(widget.gobj());
    if (g_object_get_data(object, tooltipLabelKey))
        return;
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 50); // as wide as the toolkit's own
    // A break inside a word adds no hyphen the text does not have (an address reads as it is).
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
    gtk_label_set_attributes(GTK_LABEL(label), attributes);
    pango_attr_list_unref(attributes);
    g_object_set_data_full(object, tooltipLabelKey, g_object_ref_sink(label), g_object_unref);
    // Ahead of the toolkit's handler, which would show the text in its own label.
    widget.signal_query_tooltip().connect(
        [&widget, label](int, int, bool, const Glib::RefPtr<Gtk::Tooltip>& tooltip) {
            const Glib::ustring text = widget.get_tooltip_text();
            if (text.empty())
                return false;
            if (text != gtk_label_get_text(GTK_LABEL(label)))
                gtk_label_set_text(GTK_LABEL(label), text.c_str());
            gtk_tooltip_set_custom(tooltip->gobj(), label);
            return true;
        },
        false);
}

} // namespace

void setTextTooltip(Gtk::Widget& widget, std::string_view text)
{
    showTooltipInOwnLabel(widget);
    const std::string shown = text::shownText(text);
    if (widget.get_tooltip_text().raw() != shown)
        widget.set_tooltip_text(shown);
}

void hideTooltipWhileMenuOpen(Gtk::MenuButton& button)
{
    watchPopover(button);
    button.property_popover().signal_changed().connect([&button] { watchPopover(button); });
}

} // namespace kovi
