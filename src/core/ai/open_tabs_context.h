#pragma once

#include "core/ai/ai_chat_client.h"
#include "core/model/tab.h"

#include <unordered_map>

namespace kovi {

// Every tab of every space, pinned or not, in the map's own order, as "title" and "url".
AIChatContext openTabsContext(const std::unordered_map<Uuid, Tab>& tabs);

} // namespace kovi
