#pragma once

#include "core/support/date.h"
#include "core/support/uuid.h"

#include <string>

namespace kovi {

enum class ChatRole {
    user,
    assistant,
};

// One bubble of the chat panel. The conversation is never sent back to the provider.
struct ChatMessage {
    Uuid id;
    ChatRole role;
    std::string content;
    Date timestamp; // not shown
};

} // namespace kovi
