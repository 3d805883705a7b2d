#include "Caption.h"

namespace mosaiq {

namespace {
constexpr std::string_view kSeparator = " ~ ";
}

std::string SetStatus(std::string_view appTitle, std::string_view mode, std::string_view fileName) {
    std::string caption;
    caption.reserve(appTitle.size() + 1 + mode.size() + kSeparator.size() + fileName.size());
    caption.append(appTitle).append(" ").append(mode);
    if (!fileName.empty()) caption.append(kSeparator).append(fileName);
    return caption;
}

void ShowFileInCaption(std::string& caption, std::string_view fileName) {
    if (fileName.empty()) return;
    // The first "~" is always the separator's, since the caption starts with the title; cutting
    // one character before it also drops the blank in front of it.
    const auto tilde = caption.find('~');
    if (tilde != std::string::npos) caption.resize(tilde == 0 ? 0 : tilde - 1);
    caption.append(kSeparator).append(fileName);
}

} // namespace mosaiq
