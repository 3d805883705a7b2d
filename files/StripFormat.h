#pragma once

#include "Codes.h"
#include "FileStatus.h"
#include "TextDecoder.h"

#include <algorithm>
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

// One line of program text, summed up: blanks and tabs are skipped wherever they stand; the hex
// digits (either case) that start what is left, up to the first other character, spell `value`.
struct LineValue {
    unsigned value = 0;     // held at kValueTooLarge once it passes FF
    bool noDigit = true;    // no digit starts the line: it is empty, blank, or text comes first
    bool textAfter = false; // something other than blanks and tabs follows the digits
    static constexpr unsigned kValueTooLarge = 256;
};

namespace detail {
// What each byte is to a line: a hex digit's value, a blank (or tab), or anything else.
constexpr signed char kOther = -1;
constexpr signed char kBlank = -2;
constexpr std::array<signed char, 256> MakeCharKinds() {
    std::array<signed char, 256> kinds{};
    kinds.fill(kOther);
    for (int c = '0'; c <= '9'; ++c)
        kinds[c] = static_cast<signed char>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        kinds[c] = static_cast<signed char>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        kinds[c] = static_cast<signed char>(c - 'A' + 10);
    kinds[' '] = kBlank;
    kinds['\t'] = kBlank;
    return kinds;
}
inline constexpr std::array<signed char, 256> kCharKinds = MakeCharKinds();
} // namespace detail

// Splits program text into lines (ended by CR LF, LF or a lone CR) and sums each line up, while
// the text arrives in pieces of any size. It keeps a few bytes of state and never a whole line,
// so an endless line costs nothing but time.
class LineTokenizer {
public:
    // Calls `onLine(const LineValue&)` as every line ends; stops at once when that returns false.
    template <typename OnLine> void Feed(const char* data, std::size_t n, OnLine&& onLine) {
        const char* p = data;
        const char* const end = data + n;
        while (p != end) {
            const auto c = static_cast<unsigned char>(*p++);
            if (afterCr_) {
                afterCr_ = false;
                if (c == '\n') continue; // the LF of a CR LF pair ends no second line
            }
            if (c == '\r' || c == '\n') {
                afterCr_ = c == '\r';
                if (!EndLine(onLine)) return;
                continue;
            }
            inLine_ = true;
            if (stopped_) {
                while (p != end && *p != '\r' && *p != '\n')
                    ++p;
            } else if (const signed char kind = detail::kCharKinds[c]; kind >= 0) {
                line_.value = std::min(line_.value * 16 + static_cast<unsigned>(kind),
                                       LineValue::kValueTooLarge);
                line_.noDigit = false;
            } else if (kind == detail::kOther) {
                stopped_ = true;
                line_.textAfter = !line_.noDigit;
            }
        }
    }

    // Ends the text: a last line without a line end still counts.
    template <typename OnLine> void Finish(OnLine&& onLine) {
        if (inLine_) EndLine(onLine);
    }

private:
    template <typename OnLine> bool EndLine(OnLine& onLine) {
        const LineValue line = line_;
        line_ = {};
        stopped_ = false;
        inLine_ = false;
        return onLine(line);
    }

    LineValue line_;
    bool stopped_ = false; // a character other than a digit, blank or tab ended the value
    bool inLine_ = false;  // a byte of a line not yet ended has been seen
    bool afterCr_ = false; // the last byte was a CR
};

// Turns the text of a program file into codes, one line per cell, while the text arrives in pieces
// of any size: the decoding stage (TextDecoder: UTF-16 decoded, a byte order mark left out), then
// the line tokenizer. Lines end in CR LF, LF or a lone CR. Line i gives cell i for the first 1024
// lines; later lines are ignored, and cells without a line stay 0. Within a line, blanks and tabs
// are skipped wherever they stand; the hex digits (either case) that start what is left, up to the
// first other character, give the code. A line that starts with no digit gives 0, and so does a
// value above 255.
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
    bool TakeLine(const LineValue& line);

    TextDecoder decoder_;
    LineTokenizer lines_;
    StripCodes codes_{};
    int line_ = 0; // index of the line being read
};

// Reads program text from `in` until its 1024th line is in, or to its end when `seen` is given,
// which gets every byte read. No more than `limit` bytes are taken: a text that goes on past them
// is refused as too large, unless its 1024 lines are in by then and `seen` is not given. On
// failure `out` keeps what it held, and the status says why.
FileStatus ReadStrip(std::FILE* in, StripCodes& out,
                     const std::function<void(const char*, std::size_t)>& seen = {},
                     std::size_t limit = kProgramFileLimit);

// Which files ReadStripFile takes: only plain files, as a pipe or a device may never end a line,
// or never end at all; or also pipes and devices, for a reader whose user names one on purpose.
enum class FileKinds { PlainOnly, Any };

// Reads the program file at `path` into `out`, as ReadStrip reads (`seen` too). On failure `out`
// keeps what it held, and the status says why the file could not be read.
FileStatus ReadStripFile(const std::filesystem::path& path, StripCodes& out,
                         FileKinds kinds = FileKinds::PlainOnly,
                         const std::function<void(const char*, std::size_t)>& seen = {});

// The text of a program file: 1024 lines of two upper-case hex digits and CR LF, 4096 bytes.
std::string FormatStrip(const StripCodes& codes);

// Writes the program file at `path`, used as given (no extension is checked or added), by a safe
// replace (see ReplaceFile).
FileStatus WriteStripFile(const std::filesystem::path& path, const StripCodes& codes);

} // namespace mosaiq
