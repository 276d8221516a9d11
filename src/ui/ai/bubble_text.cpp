#include "ui/ai/bubble_text.h"

#include "core/ai/chat_text_pieces.h"

namespace kovi {

BubbleText::BubbleText(const std::string& text, int maxWidth)
    : Gtk::Box(Gtk::Orientation::VERTICAL), m_text(text)
{
    for (ChatTextPiece& piece : chatTextPieces(text, pieceBytes)) {
        auto* widget = Gtk::make_managed<BubblePiece>(std::move(piece.text), maxWidth);
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
