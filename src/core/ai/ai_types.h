#pragma once

#include "core/support/name_table.h"

#include <array>
#include <string_view>

namespace kovi {

// The chat provider; its raw value is what the settings store keeps under "aiProvider".
enum class AIProvider {
    openai,
    anthropic,
};

inline constexpr std::array<AIProvider, 2> allAIProviders{AIProvider::openai, AIProvider::anthropic};

NameTable<AIProvider> rawValueNames(AIProvider);

enum class AIError {
    noApiKey,
    apiError,
    parseError,
};

std::string_view describe(AIError error);

} // namespace kovi
