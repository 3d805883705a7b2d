#include "StripFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <istream>
#include <memory>
#include <random>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#include <unistd.h>
#define MOSAIQ_HAVE_POSIX 1
#endif

namespace mosaiq {
namespace fs = std::filesystem;

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

FileStatus Failure(std::error_code ec) {
    return {false, ec.message()};
}

FileStatus Failure(std::errc code) {
    return Failure(std::make_error_code(code));
}

// `err` is an errno value taken right after the call that failed; some C libraries set none, and
// then `fallback` says what went wrong.
FileStatus ErrnoFailure(int err, std::errc fallback) {
    return err != 0 ? Failure(std::error_code(err, std::generic_category())) : Failure(fallback);
}

std::FILE* OpenFile(const fs::path& path, bool forWriting) {
#ifdef _WIN32
    return _wfopen(path.c_str(), forWriting ? L"wbx" : L"rb");
#else
    return std::fopen(path.c_str(), forWriting ? "wbx" : "rb");
#endif
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool IsWritable(const fs::path& file, const fs::file_status& status) {
#ifdef MOSAIQ_HAVE_POSIX
    (void)status;
    return ::access(file.c_str(), W_OK) == 0;
#else
    (void)file;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
#endif
}

// The file a write to `path` lands in: `path` itself, or where its chain of links ends. The end
// need not exist yet.
FileStatus FollowLinks(const fs::path& path, fs::path& target) {
    constexpr int kMaxHops = 40;
    target = path;
    for (int hops = 0;; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return {};
        if (hops == kMaxHops) return Failure(std::errc::too_many_symbolic_link_levels);
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return Failure(ec);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

// A temporary file beside the target, removed again unless it was renamed into place.
class TempFile {
public:
    ~TempFile() {
        file_.reset();
        if (!path_.empty() && !committed_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }

    // Creates a new file whose name no other file in `dir` has; a name taken meanwhile by someone
    // else is never opened, so their file cannot be overwritten or removed.
    FileStatus Create(const fs::path& dir) {
        constexpr int kAttempts = 100;
        std::random_device seed;
        std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                          static_cast<unsigned long long>(random()));
            fs::path candidate = dir / (std::string(".mosaiq") + suffix);
            errno = 0;
            file_.reset(OpenFile(candidate, true));
            if (file_) {
                path_ = std::move(candidate);
                return {};
            }
            const int err = errno;
            if (err != EEXIST) return ErrnoFailure(err, std::errc::io_error);
        }
        return Failure(std::errc::file_exists);
    }

    // Puts all of `text` on disk and closes the file; the new text must be stored before the
    // rename makes it the target, or a crash could leave a short file under the target's name.
    FileStatus WriteAndClose(const std::string& text) {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size() ||
            std::fflush(file_.get()) != 0)
            return ErrnoFailure(errno, std::errc::io_error);
#ifdef MOSAIQ_HAVE_POSIX
        if (::fsync(::fileno(file_.get())) != 0) return ErrnoFailure(errno, std::errc::io_error);
#endif
        errno = 0;
        const int closed = std::fclose(file_.release());
        if (closed != 0) return ErrnoFailure(errno, std::errc::io_error);
        return {};
    }

    // Gives the file the permissions (and where possible the owner) of the file it replaces.
    // Failing here loses nothing the user wrote, so it does not stop the save.
    void CopyAttributes(const fs::path& existing, fs::perms perms) {
        std::error_code ec;
        fs::permissions(path_, perms, fs::perm_options::replace, ec);
#ifdef MOSAIQ_HAVE_POSIX
        struct stat st {};
        if (::stat(existing.c_str(), &st) == 0 &&
            ::fchown(::fileno(file_.get()), st.st_uid, st.st_gid) != 0) {
            // Only the superuser may give a file away; the file stays the writer's own.
        }
#else
        (void)existing;
#endif
    }

    FileStatus RenameTo(const fs::path& target) {
        std::error_code ec;
        fs::rename(path_, target, ec);
        if (ec) return Failure(ec);
        committed_ = true;
        return {};
    }

private:
    fs::path path_;
    FilePtr file_;
    bool committed_ = false;
};

} // namespace

void StripReader::Feed(const char* data, std::size_t n) {
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
    // A text that ends with a line end has an empty line here, and an empty line gives the same 0
    // that a missing one leaves.
    if (!Full()) EndLine();
    const StripCodes codes = codes_;
    *this = StripReader{};
    return codes;
}

StripCodes ReadStrip(std::istream& in) {
    StripReader reader;
    std::array<char, kChunkSize> chunk;
    while (in && !reader.Full()) {
        in.read(chunk.data(), chunk.size());
        reader.Feed(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    return reader.Finish();
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

    StripReader reader;
    std::array<char, kChunkSize> chunk;
    while (!reader.Full()) {
        errno = 0;
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        const int err = errno;
        reader.Feed(chunk.data(), got);
        if (got < chunk.size()) {
            if (std::ferror(file.get())) return ErrnoFailure(err, std::errc::io_error);
            break;
        }
    }
    out = reader.Finish();
    return {};
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
    fs::path target;
    if (FileStatus followed = FollowLinks(path, target); !followed) return followed;

    std::error_code ec;
    const fs::file_status existing = fs::status(target, ec);
    if (fs::is_directory(existing)) return Failure(std::errc::is_a_directory);
    // Renaming over a device or a pipe would replace the node itself, not write to it.
    if (fs::exists(existing) && !fs::is_regular_file(existing))
        return {false, "Not a regular file"};
    // A file the user made read-only is not to be overwritten, even though the rename below
    // would only need a writable folder.
    if (fs::is_regular_file(existing) && !IsWritable(target, existing))
        return Failure(std::errc::permission_denied);

    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";

    TempFile temp;
    if (FileStatus created = temp.Create(dir); !created) return created;
    if (fs::is_regular_file(existing)) temp.CopyAttributes(target, existing.permissions());
    if (FileStatus written = temp.WriteAndClose(FormatStrip(codes)); !written) return written;
    return temp.RenameTo(target);
}

} // namespace mosaiq
