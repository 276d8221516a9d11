#include "core/settings/initials.h"

#include "core/support/text.h"

namespace kovi {

namespace {

// The first character of each of the first two words, when the name has two words.
std::optional<std::string> firstLettersOfTwoWords(std::string_view name)
{
    std::string letters;
    int words = 0;
    bool inWord = false;
    text::forEachGrapheme(name, [&](std::string_view character) {
        if (character == " ") {
            inWord = false;
            return true;
        }
        if (!inWord) {
            inWord = true;
            letters += character;
            ++words;
        }
        return words < 2; // a long name is read only up to its second word
    });
    if (words < 2)
        return std::nullopt;
    return letters;
}

std::string initials(std::string_view name, std::size_t fallbackLength)
{
    if (auto letters = firstLettersOfTwoWords(name))
        return text::uppercased(*letters);
    return text::uppercased(text::graphemePrefix(name, fallbackLength));
}

} // namespace

std::string accountCardInitials(std::string_view displayName)
{
    return initials(displayName, 2);
}

std::string accountButtonInitials(const std::optional<KoviUser>& user)
{
    if (!user)
        return "?";
    if (user->isGuest)
        return "G";
    return initials(user->displayName, 1);
}

} // namespace kovi
