#include "core/ai/ai_types.h"

namespace kovi {

std::string_view rawValue(AIProvider provider)
{
    switch (provider) {
    case AIProvider::openai:
        return "openai";
    case AIProvider::anthropic:
        return "anthropic";
    }
    return "openai";
}

std::optional<AIProvider> aiProviderFromRawValue(std::string_view raw)
{
    for (AIProvider provider : allAIProviders)
        if (rawValue(provider) == raw)
            return provider;
    return std::nullopt;
}

std::string_view describe(AIError error)
{
    switch (error) {
    case AIError::noApiKey:
        return "No API key configured. Go to Settings to add your API key.";
    case AIError::apiError:
        return "Failed to get response from AI service.";
    case AIError::parseError:
        return "Failed to parse AI response.";
    }
    return {};
}

} // namespace kovi
