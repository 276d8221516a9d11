#include "ui/design/overlay_layer.h"

#include "core/support/gobject_ptr.h"

#include <gtkmm/gestureclick.h>
#include <gtkmm/root.h>

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
    auto controllers = GObjectPtr<GListModel>::adopt(gtk_widget_observe_controllers(widget));
    for (guint i = 0, n = g_list_model_get_n_items(controllers.get()); i < n; ++i) {
        auto controller = GObjectPtr<GtkEventController>::adopt(
            static_cast<GtkEventController*>(g_list_model_get_item(controllers.get(), i)));
        if (GTK_IS_EVENT_CONTROLLER_MOTION(controller.get())
            && gtk_event_controller_motion_contains_pointer(GTK_EVENT_CONTROLLER_MOTION(controller.get())))
            g_signal_emit_by_name(controller.get(), "leave");
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        leaveHover(child);
}

unsigned long lastPresentOrder = 0;

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
    forgetFocus();
    m_mapped.disconnect();
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

void OverlayLayer::setHost(Gtk::Overlay* host)
{
    auto* current = dynamic_cast<Gtk::Overlay*>(get_parent());
    if (current == host)
        return;
    const bool covers = m_coversContent;
    setCoversContent(false);
    if (current)
        current->remove_overlay(*this);
    if (!host)
        return;
    host->add_overlay(*this);
    setCoversContent(covers);
}

void OverlayLayer::removeContent()
{
    if (!m_content)
        return;
    forgetFocus();
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
    m_presentOrder = ++lastPresentOrder;
    // On top of the host's other children, drawn and picked first.
    if (Gtk::Widget* host = get_parent())
        gtk_widget_insert_before(GTK_WIDGET(gobj()), host->gobj(), nullptr);
    set_can_target(true);
    set_visible(true);
    setCoversContent(true);
    m_opacity->animateTo(1.0, KoviDesign::Animation::fast);
    m_mapped.disconnect();
    if (get_mapped())
        handOverFocus();
    else
        m_mapped = signal_map().connect([this] {
            m_mapped.disconnect();
            handOverFocus();
        });
}

void OverlayLayer::handOverFocus()
{
    // A content that put the keyboard somewhere of its own while it appeared keeps it there.
    Gtk::Root* root = get_root();
    if (m_presented && root && !contains(root->get_focus()))
        takeFocus();
}

bool OverlayLayer::contains(const Gtk::Widget* widget) const
{
    if (!m_bin)
        return false;
    for (; widget; widget = widget->get_parent()) {
        if (widget == m_bin)
            return true;
    }
    return false;
}

bool OverlayLayer::takeFocus(std::optional<Gtk::DirectionType> entering)
{
    if (!m_presented || !m_content)
        return false;
    if (entering) {
        if (Gtk::Root* root = get_root(); root && contains(root->get_focus()))
            root->unset_focus(); // so that the search starts at the edge
        if (m_content->child_focus(*entering))
            return true;
    } else if (m_lastFocus && contains(m_lastFocus) && m_lastFocus->get_mapped() && m_lastFocus->grab_focus()) {
        return true;
    }
    // Something that takes keys without acting on them: the keys go on to the window.
    m_bin->set_focusable(true);
    return m_bin->grab_focus();
}

void OverlayLayer::rememberFocus(Gtk::Widget& widget)
{
    if (&widget == m_lastFocus)
        return;
    forgetFocus();
    m_lastFocus = &widget;
    m_lastFocusGone = widget.signal_destroy().connect([this] { forgetFocus(); });
}

void OverlayLayer::forgetFocus()
{
    m_lastFocusGone.disconnect();
    m_lastFocus = nullptr;
}

void OverlayLayer::dismiss()
{
    if (!m_presented)
        return;
    m_presented = false;
    set_can_target(false);
    setCoversContent(false);
    m_mapped.disconnect();
    // Typing must not go on into a panel that is fading out.
    if (Gtk::Root* root = get_root(); root && contains(root->get_focus()))
        root->unset_focus();
    m_opacity->animateTo(0.0, KoviDesign::Animation::fast, [this] {
        if (m_presented)
            return;
        removeContent();
        set_visible(false);
    });
}

} // namespace kovi
