#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kovi {

// The chat provider; its raw value is what the settings store keeps under "aiProvider".
enum class AIProvider {
    openai,
    anthropic,
};

inline constexpr std::array<AIProvider, 2> allAIProviders{AIProvider::openai, AIProvider::anthropic};

std::string_view rawValue(AIProvider provider);
// Exactly "openai" or "anthropic", case-sensitive; anything else is no provider.
std::optional<AIProvider> aiProviderFromRawValue(std::string_view raw);

enum class AIError {
    noApiKey,
    apiError,
    parseError,
};

std::string_view describe(AIError error);

} // namespace kovi
