#include "StripCheck.h"

#include "Codes.h"

#include <algorithm>

namespace mosaiq {

namespace {

constexpr unsigned kTooBig = 256;

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const unsigned char lower = c | 0x20;
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

} // namespace

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
    for (const char* p = data; p != data + n; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        // The LF of a CR LF pair ends no second line.
        const bool pairedLf = c == '\n' && afterCr_;
        afterCr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            if (!pairedLf) EndLine();
            continue;
        }
        inLine_ = true;
        if (phase_ == Phase::Junk || c == ' ' || c == '\t') continue;
        if (const int digit = HexDigit(c); digit >= 0) {
            value_ = std::min(value_ * 16 + static_cast<unsigned>(digit), kTooBig);
            phase_ = Phase::Digits;
        } else {
            junkFirst_ = phase_ == Phase::Lead;
            phase_ = Phase::Junk;
        }
    }
}

void StripCheck::EndLine() {
    ++line_;
    auto report = [this](LineProblem problem) {
        ++problems_;
        report_(line_, problem);
    };
    if (line_ > kCellCount)
        report(LineProblem::PastEnd);
    else if (phase_ == Phase::Lead || junkFirst_)
        report(LineProblem::NoDigit);
    else if (value_ >= kTooBig)
        report(LineProblem::AboveFF);
    else if (phase_ == Phase::Junk)
        report(LineProblem::TextAfter);
    value_ = 0;
    phase_ = Phase::Lead;
    junkFirst_ = false;
    inLine_ = false;
}

std::uint64_t StripCheck::Finish() {
    decoder_.Finish([this](const char* text, std::size_t size) { FeedText(text, size); });
    if (inLine_) EndLine();
    if (line_ < kCellCount) {
        ++problems_;
        report_(line_ + 1, LineProblem::Short);
    }
    return problems_;
}

} // namespace mosaiq
