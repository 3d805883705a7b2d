#include "StripCheck.h"

#include "Codes.h"

namespace mosaiq {

std::string LineProblemText(LineProblem problem, std::uint64_t line) {
    switch (problem) {
    case LineProblem::NoDigit: return "no hex digit";
    case LineProblem::AboveFF: return "value above FF";
    case LineProblem::TextAfter: return "text after the digits";
    case LineProblem::PastEnd: return "line past 1024";
    case LineProblem::Short:
        return "the file ends after " + std::to_string(line - 1) + " lines, not 1024";
    }
    return {};
}

void StripCheck::Feed(const char* data, std::size_t n) {
    decoder_.Feed(data, n, [this](const char* text, std::size_t size) { FeedText(text, size); });
}

void StripCheck::FeedText(const char* data, std::size_t n) {
    lines_.Feed(data, n, [this](const LineValue& line) { return CheckLine(line); });
}

bool StripCheck::CheckLine(const LineValue& line) {
    ++line_;
    auto report = [this](LineProblem problem) {
        ++problems_;
        report_(line_, problem);
    };
    if (line_ > kCellCount)
        report(LineProblem::PastEnd);
    else if (line.noDigit)
        report(LineProblem::NoDigit);
    else if (line.value >= LineValue::kValueTooLarge)
        report(LineProblem::AboveFF);
    else if (line.textAfter)
        report(LineProblem::TextAfter);
    return true;
}

std::uint64_t StripCheck::Finish() {
    decoder_.Finish([this](const char* text, std::size_t size) { FeedText(text, size); });
    lines_.Finish([this](const LineValue& line) { return CheckLine(line); });
    if (line_ < kCellCount) {
        ++problems_;
        report_(line_ + 1, LineProblem::Short);
    }
    return problems_;
}

} // namespace mosaiq
