#pragma once

// The reader's invariants, which the fuzz target holds every input to: the codes of a text do
// not depend on how it is cut into pieces, and they, and what reading a stream with a size limit
// gives, agree with a second, plain reading of the rules.

#include "StripFormat.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace mosaiq::check {

// The text as the rules see it: after a UTF-16 mark (FF FE little endian, FE FF big endian)
// decoded to UTF-8, a surrogate pair to its character and any other surrogate, and a last odd
// byte, to U+FFFD; after a UTF-8 mark, the rest; else the text itself.
inline std::string Decoded(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) return std::string(text.substr(3));
    const bool little = text.starts_with("\xFF\xFE");
    if (!little && !text.starts_with("\xFE\xFF")) return std::string(text);
    std::u16string units;
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
        const auto a = static_cast<unsigned char>(text[i]),
                   b = static_cast<unsigned char>(text[i + 1]);
        units += static_cast<char16_t>(little ? a | b << 8 : a << 8 | b);
    }
    std::u32string characters;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        const bool pair = u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        characters += pair ? 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00)
                           : (u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
    }
    if (text.size() % 2 != 0) characters += 0xFFFD;
    std::string out;
    for (const char32_t c : characters) {
        const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        out += static_cast<char>(extra == 0 ? c : (0xFF00 >> (extra + 1)) | c >> 6 * extra);
        for (int k = extra - 1; k >= 0; --k)
            out += static_cast<char>(0x80 | (c >> 6 * k & 0x3F));
    }
    return out;
}

// The reading rules as they are stated, over the whole text at once, once it is decoded: lines end
// at CR LF, LF or CR; line i of the first 1024 gives cell i; blanks and tabs are dropped, the hex
// digits that start what is left spell the value, and a line without any, or with a value above
// FF, gives 0. A text longer than `limit` bytes is refused unless its first `limit` bytes hold
// the end of its 1024th line.
inline std::optional<StripCodes> ReadByTheRules(std::string_view text, std::size_t limit) {
    StripCodes codes{};
    std::size_t ended = 0;
    for (const bool whole : {false, true}) {
        const std::string decoded = Decoded(whole ? text : text.substr(0, limit));
        std::size_t pos = 0, line = 0;
        for (; line < kCellCount && pos < decoded.size(); ++line) {
            const std::size_t end = std::min(decoded.find_first_of("\r\n", pos), decoded.size());
            std::string digits = decoded.substr(pos, end - pos);
            std::erase_if(digits, [](char c) { return c == ' ' || c == '\t'; });
            digits.resize(
                std::min(digits.find_first_not_of("0123456789abcdefABCDEF"), digits.size()));
            digits.erase(0, digits.find_first_not_of('0'));
            codes[line] = digits.empty() || digits.size() > 2 ? 0 : std::stoi(digits, nullptr, 16);
            ended += end < decoded.size() && !whole;
            pos = end + (decoded.substr(end, 2) == "\r\n" ? 2 : 1);
        }
        if (!whole && text.size() > limit && ended < kCellCount) return std::nullopt;
    }
    return codes;
}

// Returns an empty string when every invariant holds for `input`, else what broke first.
inline std::string CheckStripReader(std::string_view input) {
    const StripCodes whole = *ReadByTheRules(input, std::string_view::npos);

    // Pieces of 0 to 16 bytes from a fixed generator, so that a failing input replays with the
    // same cuts.
    StripReader reader;
    std::uint64_t state = 0x9E3779B97F4A7C15;
    for (std::size_t pos = 0, n = 0; pos < input.size(); pos += n) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        n = std::min<std::size_t>(state % 17, input.size() - pos);
        reader.Feed(input.data() + pos, n);
    }
    if (reader.Finish() != whole) return "read in pieces, differs from the rules";

    // A limit near the input's own size, picked by its last byte: 2 bytes above it to 3 below.
    const std::size_t below = input.empty() ? 0 : static_cast<unsigned char>(input.back()) % 6;
    const std::size_t limit = input.size() + 2 - std::min(input.size() + 2, below);
    const fileio::FilePtr in(fmemopen(const_cast<char*>(input.data()), input.size(), "r"));
    const std::optional<StripCodes> expected = ReadByTheRules(input, limit);
    StripCodes read{};
    if (ReadStrip(in.get(), read, {}, limit).ok != expected.has_value() ||
        (expected && read != *expected))
        return "read from a stream, differs from the rules";
    return {};
}

} // namespace mosaiq::check
