#include "ui/ai/chat_bubble.h"

#include <algorithm>

namespace kovi {

ChatBubble::ChatBubble(const ChatMessage& message)
    : m_id(message.id), m_role(message.role), m_text(message.content, maxBubbleWidth - 2 * textInset)
{
    add_css_class("kovi-ai-bubble-row");
    m_text.add_css_class("kovi-ai-bubble");
    m_text.add_css_class(m_role == ChatRole::user ? "user" : "assistant");
    m_text.set_parent(*this);
    signal_destroy().connect(sigc::mem_fun(*this, &ChatBubble::release));
}

ChatBubble::~ChatBubble()
{
    release();
}

void ChatBubble::release()
{
    if (m_text.get_parent())
        m_text.unparent();
}

Gtk::SizeRequestMode ChatBubble::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

int ChatBubble::bubbleWidth(int rowWidth) const
{
    int minimum = 0, natural = 0, minimumBaseline = -1, naturalBaseline = -1;
    m_text.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minimumBaseline, naturalBaseline);
    int width = std::min(natural, maxBubbleWidth);
    if (rowWidth >= 0)
        width = std::min(width, rowWidth - 2 * sideInset);
    return std::max(width, minimum);
}

void ChatBubble::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                               int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = -1;
    naturalBaseline = -1;
    int childMinimum = 0, childNatural = 0, childMinimumBaseline = -1, childNaturalBaseline = -1;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        m_text.measure(orientation, -1, childMinimum, childNatural, childMinimumBaseline, childNaturalBaseline);
        minimum = childMinimum + 2 * sideInset;
        natural = std::max(std::min(childNatural, maxBubbleWidth), childMinimum) + 2 * sideInset;
        return;
    }
    m_text.measure(orientation, bubbleWidth(forSize), childMinimum, childNatural, childMinimumBaseline,
                     childNaturalBaseline);
    minimum = childMinimum;
    natural = childNatural;
}

void ChatBubble::size_allocate_vfunc(int width, int height, int)
{
    const int bubble = bubbleWidth(width);
    const bool trailing = (m_role == ChatRole::user) != (get_direction() == Gtk::TextDirection::RTL);
    const int x = trailing ? width - sideInset - bubble : sideInset;
    m_text.size_allocate(Gtk::Allocation(x, 0, bubble, height), -1);
}

} // namespace kovi
