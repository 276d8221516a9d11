#include "ui/layouts/tab_favicon.h"

#include "ui/design/favicon_decoder.h"
#include "ui/design/symbols.h"

namespace kovi {

TabFavicon::TabFavicon(bool showsLoading)
    : m_showsLoading(showsLoading)
{
    add_css_class("kovi-htab-favicon");
    set_size_request(16, 16);
    set_valign(Gtk::Align::CENTER);
    set_halign(Gtk::Align::CENTER);
    set_transition_type(Gtk::StackTransitionType::CROSSFADE);
    set_transition_duration(150);
    set_can_target(false);
    m_globe.set_from_icon_name(iconNameForSymbol("globe", "web-browser-symbolic"));
    m_globe.set_pixel_size(12);
    m_globe.add_css_class("kovi-secondary");
    add(m_globe, "globe");
    set_visible_child("globe");
}

void TabFavicon::update(const Tab& tab)
{
    if (!m_decoded || tab.favicon != m_bytes) {
        m_bytes = tab.favicon;
        m_decoded = true;
        Glib::RefPtr<Gdk::Texture> texture;
        if (m_bytes && !m_bytes->empty())
            texture = FaviconDecoder::decode(m_bytes->data(), m_bytes->size());
        if (texture && !m_picture) {
            m_picture = Gtk::make_managed<Gtk::Picture>();
            m_picture->set_size_request(16, 16);
            m_picture->set_can_shrink(true);
            m_picture->set_content_fit(Gtk::ContentFit::CONTAIN);
            m_picture->set_overflow(Gtk::Overflow::HIDDEN);
            m_picture->add_css_class("kovi-htab-favicon-picture");
            add(*m_picture, "favicon");
        }
        if (m_picture)
            m_picture->set_paintable(texture);
    }
    const bool loading = m_showsLoading && tab.isLoading;
    if (loading && !m_spinner) {
        m_spinner = Gtk::make_managed<Gtk::Spinner>();
        m_spinner->set_size_request(16, 16);
        add(*m_spinner, "loading");
    }
    if (m_spinner)
        m_spinner->set_spinning(loading);
    if (loading)
        set_visible_child("loading");
    else
        set_visible_child(m_picture && m_picture->get_paintable() ? "favicon" : "globe");
}

} // namespace kovi
