#include "core/ai/ai_types.h"

namespace kovi {

NameTable<AIProvider> rawValueNames(AIProvider)
{
    static constexpr NamedCase<AIProvider> names[] = {
        {AIProvider::openai, "openai"},
        {AIProvider::anthropic, "anthropic"},
    };
    return names;
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
