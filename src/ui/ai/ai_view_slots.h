#pragma once

#include "core/ai/ai_chat_client.h"

namespace Gtk {
class Widget;
}

namespace kovi {

struct AppContext;

// The main window's AI slots: a new chat panel (a new conversation, requests to `endpoints`)
// and a new AI settings panel, both managed.
Gtk::Widget* makeAIChatPanel(AppContext& ctx, const AIEndpoints& endpoints = AIEndpoints::standard());
Gtk::Widget* makeAISettingsPanel(AppContext& ctx);

} // namespace kovi
