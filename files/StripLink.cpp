#include "StripLink.h"

#include <algorithm>
#include <cstdint>

namespace mosaiq {

namespace {
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int SixBits(char c) {
    const auto at = kAlphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}
} // namespace

std::string StripLink(const StripCodes& codes) {
    const auto last = std::find_if(codes.rbegin(), codes.rend(), [](auto c) { return c != 0; });
    const auto used = static_cast<std::size_t>(codes.rend() - last);
    std::string link(kLinkPrefix);
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < used; ++i) {
        bits = bits << 8 | codes[i];
        held += 8;
        while (held >= 6) {
            held -= 6;
            link += kAlphabet[bits >> held & 63];
        }
    }
    if (held > 0) link += kAlphabet[bits << (6 - held) & 63];
    return link;
}

std::string ReadStripLink(std::string_view link, StripCodes& out) {
    if (link.size() > kLinkMaxLength) return "it is longer than any program";
    if (!link.starts_with(kLinkPrefix)) return "it does not begin with " + std::string(kLinkPrefix);
    link.remove_prefix(kLinkPrefix.size());
    // Four characters carry three codes; a single character left over carries none.
    if (link.size() % 4 == 1) return "it ends in the middle of a code";
    StripCodes codes{};
    std::size_t cell = 0;
    std::uint32_t bits = 0;
    int held = 0;
    for (const char c : link) {
        const int six = SixBits(c);
        if (six < 0) return "it holds a character that is not base64url";
        bits = bits << 6 | static_cast<std::uint32_t>(six);
        held += 6;
        if (held >= 8) {
            held -= 8;
            codes[cell++] = static_cast<std::uint8_t>(bits >> held);
        }
    }
    // The bits left over only pad the last character; a link with any of them set was not made
    // by StripLink.
    if ((bits & ((1u << held) - 1)) != 0) return "its last character does not end a code";
    out = codes;
    return {};
}

} // namespace mosaiq
