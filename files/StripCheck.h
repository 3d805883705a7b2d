#pragma once

#include "StripFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace mosaiq {

// What is wrong with one line of a program file, read strictly.
enum class LineProblem : std::uint8_t {
    NoDigit,   // the line holds no hex digit (only blanks, nothing, or text before any digit)
    AboveFF,   // its digits spell a value above FF
    TextAfter, // something other than blanks follows its digits
    PastEnd,   // it comes after line 1024
    Short,     // the text ended before line 1024; reported once, at the first missing line
};

// A short phrase saying what is wrong, for a message of the form FILE:LINE: phrase.
std::string LineProblemText(LineProblem problem, std::uint64_t line);

// Reads the text of a program file strictly, alongside the tolerant StripReader and with the same
// line ends (CR LF, LF or a lone CR) and the same decoding (see TextDecoder), and reports every
// line the tolerant reading would silently take for something it does not say: each line has to be
// one to any number of hex digits with blanks and tabs anywhere, spelling at most FF, and there
// have to be exactly 1024 lines. Lower case, leading zeros, blanks, LF line ends and a last line
// without a line end are all fine.
//
// It reads through the same stages as StripReader, so it takes the text in pieces of any size.
class StripCheck {
public:
    using Report = std::function<void(std::uint64_t line, LineProblem problem)>;

    explicit StripCheck(Report report) : report_(std::move(report)) {}

    void Feed(const char* data, std::size_t n);

    // Ends the text and returns how many problems were reported in all. Call it once.
    std::uint64_t Finish();

private:
    void FeedText(const char* data, std::size_t n);
    bool CheckLine(const LineValue& line);

    TextDecoder decoder_;
    LineTokenizer lines_;
    Report report_;
    std::uint64_t line_ = 0; // lines ended so far
    std::uint64_t problems_ = 0;
};

} // namespace mosaiq
