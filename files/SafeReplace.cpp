#include "SafeReplace.h"

#include <cerrno>
#include <cstdio>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define MOSAIQ_HAVE_POSIX 1
#endif

namespace mosaiq {
namespace fs = std::filesystem;
using namespace fileio;

namespace {

// Whether the file may be written, and if not, the system's own reason: on a read-only mount
// that is "Read-only file system", not the "Permission denied" its permissions would suggest.
FileStatus CheckWritable(const fs::path& file, const fs::file_status& status) {
#ifdef MOSAIQ_HAVE_POSIX
    (void)status;
    errno = 0;
    if (::access(file.c_str(), W_OK) == 0) return {};
    return ErrnoFailure(errno, std::errc::permission_denied);
#else
    (void)file;
    if ((status.permissions() & fs::perms::owner_write) != fs::perms::none) return {};
    return Failure(std::errc::permission_denied);
#endif
}

// Writes all of `text` into `file` from where it stands, cuts the file at its end, puts it on
// disk and closes it. `path` names the file.
FileStatus PutOnDisk(FilePtr file, const fs::path& path, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
        std::fflush(file.get()) != 0)
        return ErrnoFailure(errno, std::errc::io_error);
#ifdef MOSAIQ_HAVE_POSIX
    (void)path;
    const int fd = ::fileno(file.get());
    if (::ftruncate(fd, static_cast<off_t>(text.size())) != 0 || ::fsync(fd) != 0)
        return ErrnoFailure(errno, std::errc::io_error);
#endif
    errno = 0;
    if (std::fclose(file.release()) != 0) return ErrnoFailure(errno, std::errc::io_error);
#ifndef MOSAIQ_HAVE_POSIX
    std::error_code ec;
    fs::resize_file(path, text.size(), ec);
    if (ec) return Failure(ec);
#endif
    return {};
}

// Writes `text` over the existing file itself. Where the system can promise room for all of it
// first, a full disk fails the save before any of the old text is overwritten; a failure after
// that can leave part of each. So this is only for where a replace cannot do: it would part the
// file from its other hard links, or its folder takes no new files.
FileStatus WriteInPlace(const fs::path& file, const std::string& text) {
    errno = 0;
#ifdef MOSAIQ_HAVE_POSIX
    // Write-only: a file may be writable without being readable.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return ErrnoFailure(errno, std::errc::io_error);
    const auto fail = [fd](int err) {
        ::close(fd);
        return ErrnoFailure(err, std::errc::io_error);
    };
#ifdef __linux__
    if (::fallocate(fd, 0, 0, static_cast<off_t>(text.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return fail(errno);
#endif
    FilePtr out(::fdopen(fd, "wb")); // opening an open file cuts nothing
    if (!out) return fail(errno);
#else
    FilePtr out(_wfopen(file.c_str(), L"r+b"));
    if (!out) return ErrnoFailure(errno, std::errc::io_error);
#endif
    return PutOnDisk(std::move(out), file, text);
}

// The folder, not the file, refused the step.
bool Refused(const FileStatus& status) {
    return status.code == std::errc::permission_denied ||
           status.code == std::errc::operation_not_permitted;
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
        return PutOnDisk(std::move(file_), path_, text);
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
    const bool replacing = fs::is_regular_file(existing);
    if (fs::exists(existing) && !replacing) return {false, "Not a regular file"};
    // A file the user made read-only is not to be overwritten, even though the rename below
    // would only need a writable folder.
    if (replacing) {
        if (FileStatus writable = CheckWritable(target, existing); !writable) return writable;
        // A new file renamed into place would leave the old text under the file's other names.
        if (const auto links = fs::hard_link_count(target, ec); !ec && links > 1)
            return WriteInPlace(target, text);
    }

    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";

    // A folder that refuses new files, or refuses to have this one replaced (one that only lets
    // owners remove their files), may still let the file itself be written.
    TempFile temp;
    if (FileStatus created = temp.Create(dir); !created)
        return replacing && Refused(created) ? WriteInPlace(target, text) : created;
    if (replacing) temp.CopyAttributes(target, existing.permissions());
    if (FileStatus written = temp.WriteAndClose(text); !written) return written;
    FileStatus renamed = temp.RenameTo(target);
    return replacing && Refused(renamed) ? WriteInPlace(target, text) : renamed;
}

} // namespace mosaiq
