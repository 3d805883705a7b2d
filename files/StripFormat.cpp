#include "StripFormat.h"
#include "SafeReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace mosaiq {
namespace fs = std::filesystem;
using namespace fileio;

namespace {

// Any value above 255 leaves the cell 0, so the value only needs to count up to here.
constexpr unsigned kOutOfRange = 256;

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
constexpr auto kCharKinds = MakeCharKinds();

constexpr std::size_t kChunkSize = 16 * 1024;

} // namespace

void StripReader::Feed(const char* data, std::size_t n) {
    decoder_.Feed(data, n, [this](const char* text, std::size_t size) { FeedText(text, size); });
}

void StripReader::FeedText(const char* data, std::size_t n) {
    const char* p = data;
    const char* const end = data + n;
    while (p != end && !Full()) {
        const auto c = static_cast<unsigned char>(*p++);
        if (afterCr_) {
            afterCr_ = false;
            if (c == '\n') continue;
        }
        if (c == '\r' || c == '\n') {
            afterCr_ = c == '\r';
            EndLine();
        } else if (stopped_) {
            while (p != end && *p != '\r' && *p != '\n')
                ++p;
        } else if (const signed char kind = kCharKinds[c]; kind >= 0) {
            value_ = std::min(value_ * 16 + static_cast<unsigned>(kind), kOutOfRange);
        } else if (kind == kOther) {
            stopped_ = true;
        }
    }
}

void StripReader::EndLine() {
    codes_[line_] = value_ < kOutOfRange ? static_cast<std::uint8_t>(value_) : 0;
    ++line_;
    value_ = 0;
    stopped_ = false;
}

StripCodes StripReader::Finish() {
    decoder_.Finish([this](const char* text, std::size_t size) { FeedText(text, size); });
    // A text that ends with a line end has an empty line here, and an empty line gives the same 0
    // that a missing one leaves.
    if (!Full()) EndLine();
    const StripCodes codes = codes_;
    *this = StripReader{};
    return codes;
}

FileStatus ReadStrip(std::FILE* in, StripCodes& out,
                     const std::function<void(const char*, std::size_t)>& seen, std::size_t limit) {
    StripReader reader;
    std::array<char, kChunkSize> chunk;
    std::size_t total = 0;
    // One byte past the limit is read, to learn whether the text goes on.
    while (total <= limit && (seen || !reader.Full())) {
        const std::size_t wanted = std::min(chunk.size(), limit - total + 1);
        errno = 0;
        const std::size_t got = std::fread(chunk.data(), 1, wanted, in);
        const int err = errno;
        const std::size_t taken = std::min(got, limit - total);
        reader.Feed(chunk.data(), taken);
        if (seen) seen(chunk.data(), taken);
        total += got;
        if (got < wanted) {
            if (std::ferror(in)) return ErrnoFailure(err, std::errc::io_error);
            break;
        }
    }
    if (total > limit && (seen || !reader.Full())) return {false, "not a program file: too large"};
    out = reader.Finish();
    return {};
}

FileStatus ReadStripFile(const fs::path& path, StripCodes& out) {
    // Some systems open a directory for reading without complaint; say what it is up front.
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Failure(std::errc::is_a_directory);
    // A pipe or a device may never end a line, or never end at all: only plain files are read.
    if (const auto st = fs::status(path, ec); !ec && fs::exists(st) && !fs::is_regular_file(st))
        return FileStatus{false, "Not a regular file"};

    errno = 0;
    const FilePtr file(OpenFile(path, false));
    if (!file) return ErrnoFailure(errno, std::errc::io_error);

    return ReadStrip(file.get(), out);
}

std::string FormatStrip(const StripCodes& codes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(codes.size() * 4);
    for (const std::uint8_t code : codes) {
        text += kDigits[code >> 4];
        text += kDigits[code & 0xF];
        text += "\r\n";
    }
    return text;
}

FileStatus WriteStripFile(const fs::path& path, const StripCodes& codes) {
    return ReplaceFile(path, FormatStrip(codes));
}

} // namespace mosaiq
