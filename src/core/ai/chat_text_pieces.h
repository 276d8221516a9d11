#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kovi {

// A chat bubble's text as the pieces it is laid out in. Laying out one long paragraph costs far
// more than the sum of its parts, so a long text is shown as a column of short pieces, each
// measured once: the cost stays in proportion to the text.
struct ChatTextPiece {
    std::string text;
    bool continuesLine = false; // the next piece carries on the same line (it was cut in the middle)
};

// Pieces of at most `maxPieceBytes`, cut at line ends; a longer line is cut after its last space
// that leaves the piece at least half full, else between two characters (inside a character
// only when that alone is longer than a piece). What is shown: the text as text::displayable
// makes it, CR LF as one line end, and no trailing line breaks (nor the blanks among them). An
// empty text is one empty piece.
std::vector<ChatTextPiece> chatTextPieces(std::string_view text, std::size_t maxPieceBytes);

} // namespace kovi
