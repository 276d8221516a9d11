#include "ui/ai/bubble_text.h"

#include "core/ai/chat_text_pieces.h"

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
