#pragma once

#include "core/ai/ai_chat_client.h"
#include "core/ai/chat_message.h"

#include <sigc++/signal.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kovi {

// The conversation of one showing of the chat panel: the typed text, the messages, the loading
// flag and the error text, and the sending of one message at a time. Destroying it drops an
// answer still on its way. Main thread only.
class AIChatController {
public:
    // The open tabs at the moment of sending.
    using ContextProvider = std::function<AIChatContext()>;

    struct QuickAction {
        const char* title;
        const char* symbol;
        const char* prompt;
        bool sendsAtOnce; // else the prompt waits in the field for the user to finish it
    };
    static const std::array<QuickAction, 3> quickActions;

    AIChatController(std::unique_ptr<AIChatClient> client, ContextProvider context);

    const std::string& inputText() const { return m_inputText; }
    void setInputText(std::string text);
    sigc::signal<void()> inputTextChanged;

    const std::vector<ChatMessage>& messages() const { return m_messages; }
    sigc::signal<void()> messagesChanged;

    bool isLoading() const { return m_isLoading; }
    sigc::signal<void()> isLoadingChanged;

    const std::optional<std::string>& errorMessage() const { return m_errorMessage; }
    void dismissError();
    sigc::signal<void()> errorMessageChanged;

    // The raw text decides, so blanks enable sending (and are then ignored).
    bool canSend() const { return !m_inputText.empty() && !m_isLoading; }
    // Sends the trimmed text; blank text changes nothing. One message at a time.
    void sendMessage();
    // Return in the field and the send button.
    void submit();
    void runQuickAction(const QuickAction& action);

    AIChatClient& client() { return *m_client; }

private:
    void setLoading(bool loading);
    void setErrorMessage(std::optional<std::string> message);
    void append(ChatRole role, std::string content);
    void answered(AIChatReply reply);

    std::unique_ptr<AIChatClient> m_client;
    ContextProvider m_context;
    std::string m_inputText;
    std::vector<ChatMessage> m_messages;
    bool m_isLoading = false;
    std::optional<std::string> m_errorMessage;
};

} // namespace kovi
