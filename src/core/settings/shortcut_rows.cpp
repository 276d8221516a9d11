#include "core/settings/shortcut_rows.h"

#include <array>
#include <utility>

namespace kovi {

namespace {

std::string lowercaseAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// Key names whose shown form is not the name itself.
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> keyTexts = {{
    {"comma", ","},
    {"period", "."},
    {"plus", "+"},
    {"minus", "-"},
    {"equal", "="},
    {"bracketleft", "["},
    {"bracketright", "]"},
    {"slash", "/"},
    {"backslash", "\\"},
    {"semicolon", ";"},
    {"apostrophe", "'"},
    {"grave", "`"},
}};

std::string keyText(std::string_view key)
{
    for (const auto& [name, shown] : keyTexts) {
        if (name == key)
            return std::string(shown);
    }
    std::string out(key);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    return out;
}

} // namespace

std::string shortcutText(std::string_view accelerator)
{
    bool control = false, alt = false, shift = false, super = false;
    std::string_view rest = accelerator;
    while (!rest.empty() && rest.front() == '<') {
        const auto close = rest.find('>');
        if (close == std::string_view::npos)
            break;
        const std::string modifier = lowercaseAscii(rest.substr(1, close - 1));
        if (modifier == "control" || modifier == "ctrl" || modifier == "primary")
            control = true;
        else if (modifier == "alt" || modifier == "mod1")
            alt = true;
        else if (modifier == "shift")
            shift = true;
        else if (modifier == "super" || modifier == "meta")
            super = true;
        rest.remove_prefix(close + 1);
    }
    std::string text;
    for (const auto& [on, name] : {std::pair{control, "Ctrl"}, {alt, "Alt"}, {shift, "Shift"}, {super, "Super"}}) {
        if (on)
            text += std::string(name) + "+";
    }
    return text + keyText(rest);
}

} // namespace kovi
