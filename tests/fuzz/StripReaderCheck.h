#pragma once

// Invariants of the program file reader, shared by the fuzz target and the corpus test. The
// reference reader below is deliberately naive (whole text in memory, one line at a time) so that
// it shares no idea with the streaming one beyond the rules themselves.

#include "StripFormat.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace mosaiq::check {

inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

inline std::uint8_t ReferenceLineCode(std::string_view line) {
    std::string digits;
    for (const char c : line) {
        if (c == ' ' || c == '\t') continue;
        if (HexValue(c) < 0) break;
        if (digits.empty() && c == '0') continue;
        digits += c;
        if (digits.size() > 2) return 0;
    }
    int value = 0;
    for (const char c : digits)
        value = value * 16 + HexValue(c);
    return static_cast<std::uint8_t>(value);
}

inline StripCodes ReferenceCodes(std::string_view text) {
    StripCodes codes{};
    std::size_t pos = 0;
    for (int line = 0; line < kCellCount && pos < text.size(); ++line) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        codes[line] = ReferenceLineCode(text.substr(pos, end - pos));
        if (end == std::string_view::npos) break;
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return codes;
}

inline std::string Difference(const char* what, const StripCodes& got, const StripCodes& want) {
    for (int i = 0; i < kCellCount; ++i) {
        if (got[i] != want[i]) {
            return std::string(what) + ": cell " + std::to_string(i + 1) + " is " +
                   std::to_string(got[i]) + ", expected " + std::to_string(want[i]);
        }
    }
    return {};
}

// Chunk sizes from 0 to 64 drawn from a generator seeded by the input itself, so a failing input
// replays with the same split.
class ChunkSizes {
public:
    explicit ChunkSizes(std::string_view input) {
        for (const char c : input)
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 0x100000001B3;
    }
    std::size_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::size_t>(state_ % 65);
    }

private:
    std::uint64_t state_ = 0xCBF29CE484222325;
};

// Returns an empty string when every invariant holds for `input`, else what broke first.
inline std::string CheckStripReader(std::string_view input) {
    StripReader reader;
    reader.Feed(input.data(), input.size());
    const StripCodes whole = reader.Finish();
    if (auto d = Difference("whole input vs reference", whole, ReferenceCodes(input)); !d.empty())
        return d;

    // Finish leaves the reader as new: the same reader reads the same text the same way, here
    // split at sizes drawn from the input (empty pieces included).
    ChunkSizes sizes(input);
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t n = std::min(sizes.Next(), input.size() - pos);
        reader.Feed(input.data() + pos, n);
        pos += n;
    }
    if (auto d = Difference("random chunks", reader.Finish(), whole); !d.empty()) return d;

    for (const char c : input)
        reader.Feed(&c, 1);
    if (auto d = Difference("single bytes", reader.Finish(), whole); !d.empty()) return d;

    std::istringstream stream{std::string(input)};
    if (auto d = Difference("ReadStrip", ReadStrip(stream), whole); !d.empty()) return d;

    const std::string text = FormatStrip(whole);
    if (text.size() != 4096) return "FormatStrip gave " + std::to_string(text.size()) + " bytes";
    reader.Feed(text.data(), text.size());
    return Difference("formatted and read again", reader.Finish(), whole);
}

} // namespace mosaiq::check
