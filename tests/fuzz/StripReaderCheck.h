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

// The reading rules as they are stated, over the whole text at once: a byte order mark at the
// start is skipped; lines end at CR LF, LF or CR; line i of the first 1024 gives cell i; blanks and
// tabs are dropped, the hex digits that start what is left spell the value, and a line without
// any, or with a value above FF, gives 0. A text longer than `limit` is refused unless its 1024th
// line ends within the limit.
inline std::optional<StripCodes> ReadByTheRules(std::string_view text, std::size_t limit) {
    StripCodes codes{};
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0, end = 0, line = 0;
    for (; line < kCellCount && pos < text.size(); ++line) {
        end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string digits(text.substr(pos, end - pos));
        std::erase_if(digits, [](char c) { return c == ' ' || c == '\t'; });
        digits.resize(std::min(digits.find_first_not_of("0123456789abcdefABCDEF"), digits.size()));
        digits.erase(0, digits.find_first_not_of('0'));
        codes[line] = digits.empty() || digits.size() > 2 ? 0 : std::stoi(digits, nullptr, 16);
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    if (text.size() > limit && (line < kCellCount || end >= limit)) return std::nullopt;
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
