#include "ui/design/overlay_layer.h"

#include <gtkmm/gestureclick.h>

namespace kovi {

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
    m_opacity->animateTo(1.0, KoviDesign::Animation::fast);
}

void OverlayLayer::dismiss()
{
    if (!m_presented)
        return;
    m_presented = false;
    set_can_target(false);
    m_opacity->animateTo(0.0, KoviDesign::Animation::fast, [this] {
        if (m_presented)
            return;
        removeContent();
        set_visible(false);
    });
}

} // namespace kovi
