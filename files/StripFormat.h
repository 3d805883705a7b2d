#pragma once

#include "Codes.h"
#include "FileStatus.h"
#include "TextDecoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace mosaiq {

// The codes of one whole strip as a program file holds them: index 0 is cell 1.
using StripCodes = std::array<std::uint8_t, kCellCount>;

// No more of a program file is read than this. A saved file has 4096 bytes, so a text whose 1024
// lines have not ended by here is no program, and reading it on would only hold the user up.
constexpr std::size_t kProgramFileLimit = std::size_t{1} << 20;

// Turns the text of a program file into codes, one line per cell, while the text arrives in pieces
// of any size; it keeps a few bytes of state and never a whole line, so an endless line costs
// nothing but time.
//
// The text is read as TextDecoder passes it on: UTF-16 decoded, a byte order mark left out. Lines
// end in CR LF, LF or a lone CR. Line i gives cell i for the first 1024 lines; later lines are
// ignored, and cells without a line stay 0. Within a line, blanks and tabs are skipped wherever
// they stand; the hex digits (either case) that start what is left, up to the first other
// character, give the code. A line that starts with no digit gives 0, and so does a value above
// 255.
class StripReader {
public:
    void Feed(const char* data, std::size_t n);

    // True once 1024 lines are in: nothing fed from now on can change the result.
    bool Full() const { return line_ >= kCellCount; }

    // Ends the text (a last line without a line end still counts) and returns the codes. The
    // reader is then as new, ready for another file.
    StripCodes Finish();

private:
    void FeedText(const char* data, std::size_t n);
    void EndLine();

    TextDecoder decoder_;
    StripCodes codes_{};
    int line_ = 0;         // index of the line being read
    unsigned value_ = 0;   // the line's value so far, held at kOutOfRange once it passes 255
    bool stopped_ = false; // a character other than a digit, blank or tab ended the value
    bool afterCr_ = false; // the last byte was a CR, so an LF right after it ends no line
};

// Reads program text from `in` until its 1024th line is in, or to its end when `seen` is given,
// which gets every byte read. No more than `limit` bytes are taken: a text that goes on past them
// is refused as too large, unless its 1024 lines are in by then and `seen` is not given. On
// failure `out` keeps what it held, and the status says why.
FileStatus ReadStrip(std::FILE* in, StripCodes& out,
                     const std::function<void(const char*, std::size_t)>& seen = {},
                     std::size_t limit = kProgramFileLimit);

// Reads the program file at `path` into `out`. On failure `out` keeps what it held, and the status
// says why the file could not be read.
FileStatus ReadStripFile(const std::filesystem::path& path, StripCodes& out);

// The text of a program file: 1024 lines of two upper-case hex digits and CR LF, 4096 bytes.
std::string FormatStrip(const StripCodes& codes);

// Writes the program file at `path`, used as given (no extension is checked or added), by a safe
// replace (see ReplaceFile).
FileStatus WriteStripFile(const std::filesystem::path& path, const StripCodes& codes);

} // namespace mosaiq
