#include "core/ai/chat_text_pieces.h"

#include "core/support/text.h"

#include <unicode/utf8.h>

#include <algorithm>

namespace kovi {

namespace {

// What can be shown of the text (text::displayable), CR LF as LF.
std::string showable(std::string_view text)
{
    std::string out = text::displayable(text);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n'))
            out[kept++] = out[i];
    }
    out.resize(kept);
    return out;
}

// Length of a white-space character ending at `end` (0 when there is none); `isBreak` tells
// whether it breaks the line.
std::size_t trailingWhitespace(const std::string& s, std::size_t end, bool& isBreak)
{
    const auto byte = static_cast<unsigned char>(s[end - 1]);
    if (byte == ' ' || byte == '\t') {
        isBreak = false;
        return 1;
    }
    if (byte == '\n' || byte == '\r' || byte == '\v' || byte == '\f') {
        isBreak = true;
        return 1;
    }
    isBreak = true;
    if (end >= 2 && s.compare(end - 2, 2, "\xC2\x85") == 0) // NEXT LINE
        return 2;
    if (end >= 3 && (s.compare(end - 3, 3, "\xE2\x80\xA8") == 0 || s.compare(end - 3, 3, "\xE2\x80\xA9") == 0))
        return 3; // LINE and PARAGRAPH SEPARATOR
    return 0;
}

// Drops the run of white space at the end when a line break is part of it.
void trimTrailingLineBreaks(std::string& s)
{
    std::size_t end = s.size();
    bool sawBreak = false;
    while (end > 0) {
        bool isBreak = false;
        const std::size_t length = trailingWhitespace(s, end, isBreak);
        if (length == 0)
            break;
        end -= length;
        sawBreak = sawBreak || isBreak;
    }
    if (sawBreak)
        s.resize(end);
}

// Cuts one line longer than `maxBytes` into pieces, all but the last going on in the next.
void cutLongLine(std::string_view line, std::size_t maxBytes, std::vector<ChatTextPiece>& pieces)
{
    std::size_t start = 0;     // of the piece being filled
    std::size_t lastSpace = 0; // end of the last space seen inside it
    // Adds the unit line[at, end) to the piece, or starts the next piece with it.
    auto place = [&](std::size_t at, std::size_t end) {
        if (end - start > maxBytes && at > start) {
            const std::size_t cut = lastSpace > start + maxBytes / 2 ? lastSpace : at;
            pieces.push_back({std::string(line.substr(start, cut - start)), true});
            start = cut;
        }
    };
    text::forEachGrapheme(line, [&](std::string_view grapheme) {
        const auto at = static_cast<std::size_t>(grapheme.data() - line.data());
        const std::size_t end = at + grapheme.size();
        if (grapheme.size() <= maxBytes) {
            place(at, end);
        } else {
            // No real character is this long (chained conjuncts, jamo or joiners): one laid out
            // whole costs far more than its length, so it is cut between its code points.
            const auto* bytes = reinterpret_cast<const uint8_t*>(line.data());
            for (auto i = static_cast<int32_t>(at); i < static_cast<int32_t>(end);) {
                const auto from = static_cast<std::size_t>(i);
                U8_FWD_1(bytes, i, static_cast<int32_t>(end));
                place(from, static_cast<std::size_t>(i));
            }
        }
        if (grapheme == " " || grapheme == "\t")
            lastSpace = end;
        return true;
    });
    pieces.push_back({std::string(line.substr(start)), false});
}

} // namespace

std::vector<ChatTextPiece> chatTextPieces(std::string_view text, std::size_t maxPieceBytes)
{
    std::string shown = showable(text);
    trimTrailingLineBreaks(shown);
    const std::string_view all = shown;

    std::vector<ChatTextPiece> pieces;
    std::string current;
    bool started = false;
    auto flush = [&] {
        if (started)
            pieces.push_back({std::move(current), false});
        current.clear();
        started = false;
    };
    std::size_t lineStart = 0;
    while (true) {
        const std::size_t lineEnd = std::min(all.find('\n', lineStart), all.size());
        const std::string_view line = all.substr(lineStart, lineEnd - lineStart);
        if (line.size() > maxPieceBytes) {
            flush();
            cutLongLine(line, maxPieceBytes, pieces);
            // Its last part may take the short lines that follow.
            current = std::move(pieces.back().text);
            pieces.pop_back();
            started = true;
        } else if (started && current.size() + 1 + line.size() > maxPieceBytes) {
            flush();
            current = line;
            started = true;
        } else {
            if (started)
                current += '\n';
            current += line;
            started = true;
        }
        if (lineEnd == all.size())
            break;
        lineStart = lineEnd + 1;
    }
    flush();
    return pieces;
}

} // namespace kovi
