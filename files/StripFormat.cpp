#include "StripFormat.h"
#include "SafeReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace mosaiq {
namespace fs = std::filesystem;
using namespace fileio;

namespace {
constexpr std::size_t kChunkSize = 16 * 1024;
} // namespace

void StripReader::Feed(const char* data, std::size_t n) {
    decoder_.Feed(data, n, [this](const char* text, std::size_t size) { FeedText(text, size); });
}

void StripReader::FeedText(const char* data, std::size_t n) {
    if (!Full()) lines_.Feed(data, n, [this](const LineValue& line) { return TakeLine(line); });
}

bool StripReader::TakeLine(const LineValue& line) {
    codes_[line_] =
        line.value < LineValue::kValueTooLarge ? static_cast<std::uint8_t>(line.value) : 0;
    ++line_;
    return !Full();
}

StripCodes StripReader::Finish() {
    decoder_.Finish([this](const char* text, std::size_t size) { FeedText(text, size); });
    if (!Full()) lines_.Finish([this](const LineValue& line) { return TakeLine(line); });
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

FileStatus ReadStripFile(const fs::path& path, StripCodes& out, FileKinds kinds,
                         const std::function<void(const char*, std::size_t)>& seen) {
    // Some systems open a directory for reading without complaint; say what it is up front.
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Failure(std::errc::is_a_directory);
    if (const auto st = fs::status(path, ec);
        kinds == FileKinds::PlainOnly && !ec && fs::exists(st) && !fs::is_regular_file(st))
        return FileStatus{false, "Not a regular file"};

    errno = 0;
    const FilePtr file(OpenFile(path, false));
    if (!file) return ErrnoFailure(errno, std::errc::io_error);

    return ReadStrip(file.get(), out, seen);
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
