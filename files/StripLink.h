#pragma once

#include "StripFormat.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace mosaiq {

// A strip written into a page's address, after its "#": the prefix "v1." and then the codes of
// cells 1 up to the last one that is not 0, one byte each, in base64url without padding. A strip
// whose cells are all 0 is just the prefix. Each strip has exactly one link, so a link can be
// compared with another as text.
inline constexpr std::string_view kLinkPrefix = "v1.";
// No link is longer: the prefix and 1024 codes.
inline constexpr std::size_t kLinkMaxLength = kLinkPrefix.size() + (kCellCount * 4 + 2) / 3;

std::string StripLink(const StripCodes& codes);

// Reads a link made by StripLink (without the "#") into `out`. Returns why it is not one, or an
// empty text; on failure `out` keeps what it held. The length is looked at before anything else,
// so text of any size is refused at once.
std::string ReadStripLink(std::string_view link, StripCodes& out);

} // namespace mosaiq
