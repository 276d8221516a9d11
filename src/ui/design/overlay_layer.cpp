#include "ui/design/overlay_layer.h"

#include "core/support/gobject_ptr.h"

#include <gtkmm/gestureclick.h>
#include <gtkmm/root.h>
#include <gtkmm/snapshot.h>

namespace kovi {

namespace {

// How many scrims keep a widget from the pointer, and whether it took pointer input before the
// first; kept on the widget itself, as several layers may cover it.
constexpr const char* pointerBlocksKey = "kovi-pointer-blocks";
constexpr const char* targetBeforeKey = "kovi-target-before-blocks";

void blockPointer(GtkWidget* widget)
{
    GObject* object = G_OBJECT(widget);
    const int blocks = GPOINTER_TO_INT(g_object_get_data(object, pointerBlocksKey));
    if (blocks == 0) {
        g_object_set_data(object, targetBeforeKey, GINT_TO_POINTER(gtk_widget_get_can_target(widget)));
        gtk_widget_set_can_target(widget, false);
    }
    g_object_set_data(object, pointerBlocksKey, GINT_TO_POINTER(blocks + 1));
}

void unblockPointer(GtkWidget* widget)
{
    GObject* object = G_OBJECT(widget);
    const int blocks = GPOINTER_TO_INT(g_object_get_data(object, pointerBlocksKey));
    if (blocks <= 0)
        return;
    g_object_set_data(object, pointerBlocksKey, GINT_TO_POINTER(blocks - 1));
    if (blocks == 1 && GPOINTER_TO_INT(g_object_get_data(object, targetBeforeKey)))
        gtk_widget_set_can_target(widget, true);
}

void findWindowButtons(GtkWidget* widget, std::vector<GObjectPtr<GtkWidget>>& found)
{
    if (GTK_IS_WINDOW_CONTROLS(widget)) {
        found.push_back(GObjectPtr<GtkWidget>::ref(widget));
        return;
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        findWindowButtons(child, found);
}

// Keeps the pointer from `widget` and everything in it, except the window's button groups and
// the widgets that hold them.
void blockAllBut(GtkWidget* widget, const std::vector<GObjectPtr<GtkWidget>>& kept,
                 std::vector<GObjectPtr<GtkWidget>>& blocked)
{
    bool holds = false;
    for (const auto& buttons : kept) {
        if (buttons.get() == widget)
            return;
        holds = holds || gtk_widget_is_ancestor(buttons.get(), widget);
    }
    if (!holds) {
        blockPointer(widget);
        blocked.push_back(GObjectPtr<GtkWidget>::ref(widget));
        return;
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        blockAllBut(child, kept, blocked);
}

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
    // The dimmed view may outlive this layer.
    releasePointer();
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
    if (!covers) {
        releasePointer();
        queue_draw();
        return;
    }
    auto* host = dynamic_cast<Gtk::Overlay*>(get_parent());
    Gtk::Widget* under = host ? host->get_child() : nullptr;
    if (!under)
        return;
    m_coversContent = true;
    // Dimmed views take no pointer input: nothing under the scrim lights up or opens on hover.
    // The window's own buttons stay within reach, as on any desktop window: the first click on
    // close closes the window, not the panel.
    GtkWidget* dimmed = GTK_WIDGET(under->gobj());
    findWindowButtons(dimmed, m_windowButtons);
    for (const auto& buttons : m_windowButtons) {
        auto picture = GObjectPtr<GdkPaintable>::adopt(gtk_widget_paintable_new(buttons.get()));
        g_signal_connect_swapped(picture.get(), "invalidate-contents", G_CALLBACK(gtk_widget_queue_draw), gobj());
        m_windowButtonPictures.push_back(std::move(picture));
    }
    blockAllBut(dimmed, m_windowButtons, m_blocked);
    leaveHover(dimmed);
}

void OverlayLayer::releasePointer()
{
    m_coversContent = false;
    for (const auto& widget : m_blocked)
        unblockPointer(widget.get());
    m_blocked.clear();
    for (const auto& picture : m_windowButtonPictures)
        g_signal_handlers_disconnect_by_data(picture.get(), gobj());
    m_windowButtonPictures.clear();
    m_windowButtons.clear();
}

std::vector<std::pair<std::size_t, graphene_rect_t>> OverlayLayer::windowButtonAreas(const Gtk::Widget& widget) const
{
    std::vector<std::pair<std::size_t, graphene_rect_t>> areas;
    for (std::size_t i = 0; i < m_windowButtons.size(); ++i) {
        GtkWidget* buttons = m_windowButtons[i].get();
        graphene_rect_t area;
        if (gtk_widget_get_mapped(buttons) && !gtk_window_controls_get_empty(GTK_WINDOW_CONTROLS(buttons))
            && gtk_widget_compute_bounds(buttons, const_cast<GtkWidget*>(widget.gobj()), &area))
            areas.emplace_back(i, area);
    }
    return areas;
}

bool OverlayLayer::inWindowButtonArea(const Gtk::Widget& widget, double x, double y) const
{
    if (!m_coversContent)
        return false;
    const graphene_point_t point = GRAPHENE_POINT_INIT(float(x), float(y));
    for (const auto& [index, area] : windowButtonAreas(widget)) {
        if (graphene_rect_contains_point(&area, &point))
            return true;
    }
    return false;
}

bool OverlayLayer::contains_vfunc(double x, double y) const
{
    if (m_beside) {
        graphene_rect_t bounds;
        const graphene_point_t point = GRAPHENE_POINT_INIT(float(x), float(y));
        return m_bin && gtk_widget_compute_bounds(GTK_WIDGET(m_bin->gobj()), GTK_WIDGET(const_cast<GtkOverlay*>(gobj())), &bounds)
               && graphene_rect_contains_point(&bounds, &point);
    }
    return !inWindowButtonArea(*this, x, y) && Gtk::Overlay::contains_vfunc(x, y);
}

bool OverlayLayer::Scrim::contains_vfunc(double x, double y) const
{
    return !m_layer.m_beside && !m_layer.inWindowButtonArea(*this, x, y) && Gtk::Box::contains_vfunc(x, y);
}

void OverlayLayer::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot)
{
    for (Gtk::Widget* child = get_first_child(); child; child = child->get_next_sibling()) {
        snapshot_child(*child, snapshot);
        if (child != &m_scrim || !m_coversContent)
            continue;
        // The window's buttons are drawn again over the scrim, where they take the clicks.
        for (const auto& [index, area] : windowButtonAreas(*this)) {
            gtk_snapshot_save(snapshot->gobj());
            gtk_snapshot_translate(snapshot->gobj(), &area.origin);
            gdk_paintable_snapshot(m_windowButtonPictures[index].get(), snapshot->gobj(), area.size.width,
                                   area.size.height);
            gtk_snapshot_restore(snapshot->gobj());
        }
    }
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
    show(content, false);
}

void OverlayLayer::presentBeside(Gtk::Widget* content)
{
    show(content, true);
}

void OverlayLayer::show(Gtk::Widget* content, bool beside)
{
    m_clicksBeside.reset();
    removeContent();
    // Presented before the content goes in: shown over a layer still fading out, it maps at once
    // and may take the keys there, and the window's focus keeper then finds the layer on top.
    m_presented = true;
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
    // On top of the host's other children, drawn and picked first.
    if (Gtk::Widget* host = get_parent())
        gtk_widget_insert_before(GTK_WIDGET(gobj()), host->gobj(), nullptr);
    set_can_target(true);
    set_visible(true);
    m_beside = beside && m_withScrim;
    if (m_beside && m_bin)
        m_clicksBeside = std::make_unique<ClicksBeside>(*m_bin, [this] { tapScrim(); });
    setCoversContent(!m_beside);
    m_opacity->animateTo(1.0, KoviDesign::Animation::fast);
}

void OverlayLayer::giveKeys()
{
    m_mapped.disconnect();
    if (!m_presented)
        return;
    if (!get_mapped()) {
        m_mapped = signal_map().connect([this] { giveKeys(); });
        return;
    }
    // A content that put the keyboard somewhere of its own while it appeared keeps it there.
    Gtk::Root* root = get_root();
    if (root && !contains(root->get_focus()))
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
    m_clicksBeside.reset();
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
