#include "core/ai/ai_chat_controller.h"

#include "core/support/text.h"

namespace kovi {

const std::array<AIChatController::QuickAction, 3> AIChatController::quickActions{{
    {"Summarize my open tabs", "doc.text", "Summarize what I'm working on based on my open tabs", true},
    {"Help me research", "magnifyingglass", "Help me research ", false},
    {"Compare options", "arrow.left.arrow.right", "Compare the pros and cons of ", false},
}};

AIChatController::AIChatController(std::unique_ptr<AIChatClient> client, ContextProvider context)
    : m_client(std::move(client)), m_context(std::move(context))
{
}

void AIChatController::setInputText(std::string text)
{
    if (text == m_inputText)
        return;
    m_inputText = std::move(text);
    inputTextChanged.emit();
}

void AIChatController::dismissError()
{
    setErrorMessage(std::nullopt);
}

void AIChatController::submit()
{
    if (canSend())
        sendMessage();
}

void AIChatController::runQuickAction(const QuickAction& action)
{
    setInputText(action.prompt);
    if (action.sendsAtOnce)
        sendMessage();
}

void AIChatController::sendMessage()
{
    if (m_isLoading)
        return;
    std::string message = text::trimWhitespaceAndNewlines(m_inputText);
    if (message.empty())
        return;
    append(ChatRole::user, message);
    setInputText("");
    setLoading(true);
    setErrorMessage(std::nullopt);
    AIChatContext context = m_context ? m_context() : AIChatContext{};
    if (!context.openTabs)
        context.openTabs.emplace();
    // Safe: the client belongs to this controller and never calls back once it is gone.
    m_client->chat(std::move(message), std::move(context), [this](AIChatReply reply) { answered(std::move(reply)); });
}

void AIChatController::answered(AIChatReply reply)
{
    if (reply.answer)
        append(ChatRole::assistant, std::move(*reply.answer));
    else
        setErrorMessage(reply.errorDescription);
    setLoading(false);
}

void AIChatController::append(ChatRole role, std::string content)
{
    m_messages.push_back(ChatMessage{Uuid::random(), role, std::move(content), Clock::current().now()});
    messagesChanged.emit();
}

void AIChatController::setLoading(bool loading)
{
    if (loading == m_isLoading)
        return;
    m_isLoading = loading;
    isLoadingChanged.emit();
}

void AIChatController::setErrorMessage(std::optional<std::string> message)
{
    if (message == m_errorMessage)
        return;
    m_errorMessage = std::move(message);
    errorMessageChanged.emit();
}

} // namespace kovi
