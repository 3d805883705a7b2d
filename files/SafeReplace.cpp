#include "SafeReplace.h"

#include <cerrno>
#include <cstdio>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#include <unistd.h>
#define MOSAIQ_HAVE_POSIX 1
#endif

namespace mosaiq {
namespace fs = std::filesystem;
using namespace fileio;

namespace {

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

FileStatus ReplaceFile(const fs::path& path, const std::string& text) {
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
    if (FileStatus written = temp.WriteAndClose(text); !written) return written;
    return temp.RenameTo(target);
}

} // namespace mosaiq
