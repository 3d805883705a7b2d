#pragma once

// The reader's invariants, shared by the fuzz target and the corpus test: the codes of a text do
// not depend on how it is cut into pieces, and formatting them then reading again gives them back.

#include "StripFormat.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace mosaiq::check {

// Returns an empty string when every invariant holds for `input`, else what broke first.
inline std::string CheckStripReader(std::string_view input) {
    StripReader reader;
    reader.Feed(input.data(), input.size());
    const StripCodes whole = reader.Finish();

    // Pieces of 0 to 16 bytes from a fixed generator, so that a failing input replays with the
    // same cuts. Finish has left the reader as new.
    std::uint64_t state = 0x9E3779B97F4A7C15;
    for (std::size_t pos = 0, n = 0; pos < input.size(); pos += n) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        n = std::min<std::size_t>(state % 17, input.size() - pos);
        reader.Feed(input.data() + pos, n);
    }
    if (reader.Finish() != whole) return "read in pieces, the codes differ";

    const std::string text = FormatStrip(whole);
    reader.Feed(text.data(), text.size());
    if (text.size() != 4096 || reader.Finish() != whole) return "formatted and read again, differs";
    return {};
}

} // namespace mosaiq::check
