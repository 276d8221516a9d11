#include "ui/design/overlay_layer.h"

#include <gtkmm/gestureclick.h>

namespace kovi {

namespace {

// How many scrims lie over a widget, kept on the widget itself: several layers may cover it.
constexpr const char* scrimsOverKey = "kovi-scrims-over";

// The pointer has left everything under a new scrim, though it did not move: the toolkit
// tells only the next motion, so the views are told now (hover looks, hover previews).
void leaveHover(GtkWidget* widget)
{
    if (gtk_widget_get_state_flags(widget) & GTK_STATE_FLAG_PRELIGHT)
        gtk_widget_unset_state_flags(widget, GTK_STATE_FLAG_PRELIGHT);
    GListModel* controllers = gtk_widget_observe_controllers(widget);
    for (guint i = 0, n = g_list_model_get_n_items(controllers); i < n; ++i) {
        auto* controller = static_cast<GtkEventController*>(g_list_model_get_item(controllers, i));
        if (GTK_IS_EVENT_CONTROLLER_MOTION(controller)
            && gtk_event_controller_motion_contains_pointer(GTK_EVENT_CONTROLLER_MOTION(controller)))
            g_signal_emit_by_name(controller, "leave");
        g_object_unref(controller);
    }
    g_object_unref(controllers);
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        leaveHover(child);
}

} // namespace

OverlayLayer::OverlayLayer(bool withScrim, std::function<void()> onScrimTap, double startScale, const char* scrimClass)
    : m_withScrim(withScrim), m_onScrimTap(std::move(onScrimTap)), m_startScale(startScale)
{
    add_css_class("kovi-overlay-layer");
    set_visible(false);
    if (m_withScrim) {
        m_scrim.add_css_class(scrimClass);
        m_scrim.set_hexpand(true);
        m_scrim.set_vexpand(true);
        auto click = Gtk::GestureClick::create();
        click->signal_released().connect([this](int count, double, double) {
            if (count == 1)
                tapScrim();
        });
        m_scrim.add_controller(click);
        set_child(m_scrim);
    }
    m_opacity = std::make_unique<MotionValue>(*this, 0.0, [this](double v) {
        set_opacity(v);
        if (m_bin)
            m_bin->setScale(m_startScale + (1 - m_startScale) * v);
    });
}

OverlayLayer::~OverlayLayer()
{
    m_opacity.reset();
    if (m_bin)
        m_bin->setChild(nullptr);
}

void OverlayLayer::tapScrim()
{
    if (m_presented && m_onScrimTap)
        m_onScrimTap();
}

void OverlayLayer::setCoversContent(bool covers)
{
    if (!m_withScrim || covers == m_coversContent)
        return;
    auto* host = dynamic_cast<Gtk::Overlay*>(get_parent());
    Gtk::Widget* under = host ? host->get_child() : nullptr;
    if (!under)
        return;
    m_coversContent = covers;
    GObject* object = G_OBJECT(under->gobj());
    const int count = GPOINTER_TO_INT(g_object_get_data(object, scrimsOverKey)) + (covers ? 1 : -1);
    g_object_set_data(object, scrimsOverKey, GINT_TO_POINTER(count));
    // Dimmed views take no pointer input: nothing under the scrim lights up or opens on hover.
    under->set_can_target(count == 0);
    if (covers)
        leaveHover(GTK_WIDGET(under->gobj()));
}

void OverlayLayer::removeContent()
{
    if (!m_content)
        return;
    m_bin->setChild(nullptr); // the content goes first, while the bin is still whole
    if (m_withScrim)
        remove_overlay(*m_bin);
    else
        unset_child();
    m_content = nullptr;
    m_bin = nullptr;
}

void OverlayLayer::present(Gtk::Widget* content)
{
    removeContent();
    m_content = content;
    if (m_content) {
        // The bin takes the content's place (and alignment) and scales it while it fades.
        m_bin = Gtk::make_managed<SlideBin>();
        m_bin->set_halign(m_content->get_halign());
        m_bin->set_valign(m_content->get_valign());
        m_bin->set_hexpand(m_content->get_hexpand());
        m_bin->set_vexpand(m_content->get_vexpand());
        m_bin->setChild(m_content);
        m_bin->setScale(m_startScale + (1 - m_startScale) * m_opacity->value());
        if (m_withScrim) {
            add_overlay(*m_bin);
        } else {
            set_child(*m_bin);
            set_halign(m_content->get_halign());
            set_valign(m_content->get_valign());
        }
    }
    m_presented = true;
    set_can_target(true);
    set_visible(true);
    setCoversContent(true);
    m_opacity->animateTo(1.0, KoviDesign::Animation::fast);
}

void OverlayLayer::dismiss()
{
    if (!m_presented)
        return;
    m_presented = false;
    set_can_target(false);
    setCoversContent(false);
    m_opacity->animateTo(0.0, KoviDesign::Animation::fast, [this] {
        if (m_presented)
            return;
        removeContent();
        set_visible(false);
    });
}

} // namespace kovi
