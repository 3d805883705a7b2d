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

// The text as the line rules see it: after a UTF-8 mark, the rest; after a UTF-16 mark (FF FE
// little endian, FE FF big endian), each code unit below 80 as that character and any other unit,
// and a last odd byte, as a byte that is no digit, blank or line end; else the text itself.
inline std::string Decoded(std::string_view text) {
    const bool little = text.starts_with("\xFF\xFE");
    if (!little && !text.starts_with("\xFE\xFF"))
        return std::string(text.substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0));
    std::string out;
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 2; i < text.size(); i += 2) {
        const unsigned unit =
            i + 1 < text.size() ? byte(i + little) << 8 | byte(i + !little) : 0x80;
        out += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    return out;
}

// The reading rules as they are stated, over the whole text at once, once it is decoded: lines end
// at CR LF, LF or CR; line i of the first 1024 gives cell i; blanks and tabs are dropped, the hex
// digits that start what is left spell the value, and a line without any, or with a value above
// FF, gives 0. A text longer than `limit` bytes is refused unless its first `limit` bytes hold
// the end of its 1024th line.
inline std::optional<StripCodes> ReadByTheRules(std::string_view text, std::size_t limit) {
    const std::string head = Decoded(text.substr(0, limit)), decoded = Decoded(text);
    std::size_t ends = 0;
    for (std::size_t i = 0; i < head.size(); ++i)
        ends += head[i] == '\r' || (head[i] == '\n' && (i == 0 || head[i - 1] != '\r'));
    if (text.size() > limit && ends < kCellCount) return std::nullopt;
    StripCodes codes{};
    for (std::size_t pos = 0, line = 0; line < kCellCount && pos < decoded.size(); ++line) {
        const std::size_t end = std::min(decoded.find_first_of("\r\n", pos), decoded.size());
        std::string digits = decoded.substr(pos, end - pos);
        std::erase_if(digits, [](char c) { return c == ' ' || c == '\t'; });
        digits.resize(std::min(digits.find_first_not_of("0123456789abcdefABCDEF"), digits.size()));
        digits.erase(0, digits.find_first_not_of('0'));
        codes[line] = digits.empty() || digits.size() > 2 ? 0 : std::stoi(digits, nullptr, 16);
        pos = end + (decoded.substr(end, 2) == "\r\n" ? 2 : 1);
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
