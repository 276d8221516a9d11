#pragma once

#include "core/support/scoped_connections.h"
#include "ui/ai/bubble_piece.h"

#include <gtkmm/box.h>

#include <string>
#include <vector>

namespace kovi {

// The text of a chat bubble, at most `maxWidth` wide, as a column of pieces (chatTextPieces):
// a long answer costs a layout in proportion to its length once, and nothing more when other
// bubbles come and go. The column carries the bubble's fill and padding. Inside a scrolled view
// it draws only the pieces in sight: the renderer goes through all it is handed on every frame
// (a caret's blink included), however little of it the frame shows.
class BubbleText : public Gtk::Box {
public:
    // At most this much text per piece: a few lines of the bubble.
    static constexpr std::size_t pieceBytes = 512;

    BubbleText(const std::string& text, int maxWidth);

    const std::string& text() const { return m_text; }
    // What the pieces show, their lines put back together (tests).
    std::string shownText() const;
    const std::vector<BubblePiece*>& pieces() const { return m_pieces; }

protected:
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    void followScrolling();

    std::string m_text;
    std::vector<BubblePiece*> m_pieces;
    std::vector<bool> m_continuesLine;
    GtkWidget* m_viewport = nullptr; // the scrolled view it is shown in, while mapped
    ScopedConnections m_scrolling;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
