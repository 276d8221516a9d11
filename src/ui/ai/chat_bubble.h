#pragma once

#include "core/ai/chat_message.h"
#include "ui/ai/bubble_text.h"

#include <gtkmm/widget.h>

namespace kovi {

// One message of the chat: the text, verbatim and not selectable, on a rounded bubble at most
// 280 px wide, on the right in the accent purple for the user and on the left for the
// assistant, 16 px in from either side of the row.
class ChatBubble : public Gtk::Widget {
public:
    static constexpr int maxBubbleWidth = 280;
    static constexpr int sideInset = 16;
    static constexpr int textInset = 12; // the bubble's padding left and right, as in the stylesheet

    explicit ChatBubble(const ChatMessage& message);
    ~ChatBubble() override;

    const Uuid& messageId() const { return m_id; }
    ChatRole role() const { return m_role; }
    // The bubble is its text widget, with the fill and padding around it.
    BubbleText& text() { return m_text; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;

private:
    // The bubble's width in a row of `rowWidth` (-1: unbounded).
    int bubbleWidth(int rowWidth) const;
    void release();

    Uuid m_id;
    ChatRole m_role;
    BubbleText m_text;
};

} // namespace kovi
