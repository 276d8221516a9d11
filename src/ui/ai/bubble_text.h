#pragma once

#include "ui/ai/bubble_piece.h"

#include <gtkmm/box.h>

#include <string>
#include <vector>

namespace kovi {

// The text of a chat bubble, at most `maxWidth` wide, as a column of pieces (chatTextPieces):
// a long answer costs a layout in proportion to its length once, and nothing more when other
// bubbles come and go. The column carries the bubble's fill and padding.
class BubbleText : public Gtk::Box {
public:
    // At most this much text per piece: a few lines of the bubble.
    static constexpr std::size_t pieceBytes = 512;

    BubbleText(const std::string& text, int maxWidth);

    const std::string& text() const { return m_text; }
    // What the pieces show, their lines put back together (tests).
    std::string shownText() const;
    const std::vector<BubblePiece*>& pieces() const { return m_pieces; }

private:
    std::string m_text;
    std::vector<BubblePiece*> m_pieces;
    std::vector<bool> m_continuesLine;
};

} // namespace kovi
