#include "ui/ai/bubble_text.h"

#include "core/ai/chat_text_pieces.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/snapshot.h>

namespace kovi {

namespace {

// The direction of the piece's last line, set by the line's first strong character: `carried`
// when the line began in an earlier piece that had one.
PangoDirection lastLineDirection(const std::string& text, bool lineBeganEarlier, PangoDirection carried)
{
    const std::size_t lineEnd = text.rfind('\n');
    if (lineEnd == std::string::npos && lineBeganEarlier && carried != PANGO_DIRECTION_NEUTRAL)
        return carried;
    const std::size_t start = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    return pango_find_base_dir(text.data() + start, static_cast<int>(text.size() - start));
}

} // namespace

BubbleText::BubbleText(const std::string& text, int maxWidth)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_text(text)
{
    bool continues = false;
    PangoDirection lineDirection = PANGO_DIRECTION_NEUTRAL;
    for (ChatTextPiece& piece : chatTextPieces(text, pieceBytes)) {
        // A piece that carries on a cut line keeps the line's direction, not that of the word it
        // happens to start with: a mark of that direction leads it.
        const char* mark = !continues ? ""
            : lineDirection == PANGO_DIRECTION_RTL ? "\u200F"
            : lineDirection == PANGO_DIRECTION_LTR ? "\u200E"
                                                   : "";
        lineDirection = lastLineDirection(piece.text, continues, lineDirection);
        continues = piece.continuesLine;
        auto* widget = Gtk::make_managed<BubblePiece>(std::move(piece.text), maxWidth, mark);
        append(*widget);
        m_pieces.push_back(widget);
        m_continuesLine.push_back(piece.continuesLine);
    }
    m_connections.add(signal_map().connect(sigc::mem_fun(*this, &BubbleText::followScrolling)));
    m_connections.add(signal_unmap().connect([this] {
        m_scrolling.clear();
        m_viewport = nullptr;
    }));
}

void BubbleText::followScrolling()
{
    m_scrolling.clear();
    m_viewport = gtk_widget_get_ancestor(GTK_WIDGET(gobj()), GTK_TYPE_VIEWPORT);
    if (!m_viewport)
        return;
    // What is in sight changes with the scroll position and the view's size and content.
    auto adjustment = Glib::wrap(gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(m_viewport)), true);
    if (!adjustment)
        return;
    m_scrolling.add(adjustment->signal_value_changed().connect([this] { queue_draw(); }));
    m_scrolling.add(adjustment->signal_changed().connect([this] { queue_draw(); }));
}

void BubbleText::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot)
{
    graphene_rect_t sight{};
    const bool clipped = m_viewport && gtk_widget_compute_bounds(m_viewport, GTK_WIDGET(gobj()), &sight);
    for (BubblePiece* piece : m_pieces) {
        graphene_rect_t at{};
        if (clipped && gtk_widget_compute_bounds(GTK_WIDGET(piece->gobj()), GTK_WIDGET(gobj()), &at)) {
            if (at.origin.y + at.size.height <= sight.origin.y)
                continue;
            if (at.origin.y >= sight.origin.y + sight.size.height)
                break;
        }
        snapshot_child(*piece, snapshot);
    }
}

std::string BubbleText::shownText() const
{
    std::string shown;
    for (std::size_t i = 0; i < m_pieces.size(); ++i) {
        shown += m_pieces[i]->shownText();
        if (i + 1 < m_pieces.size() && !m_continuesLine[i])
            shown += '\n';
    }
    return shown;
}

} // namespace kovi
