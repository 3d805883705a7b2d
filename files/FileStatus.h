#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace mosaiq {

// The outcome of a file operation. `error` is a short reason a person can read ("No such file or
// directory", "Is a directory"); it is empty when `ok` is true. `code` is the system's error, where
// the system gave one.
struct FileStatus {
    bool ok = true;
    std::string error;
    std::error_code code{};
    explicit operator bool() const { return ok; }
};

namespace fileio {
namespace fs = std::filesystem;

inline FileStatus Failure(std::error_code ec) {
    return {false, ec.message(), ec};
}

inline FileStatus Failure(std::errc code) {
    return Failure(std::make_error_code(code));
}

// `err` is an errno value taken right after the call that failed; some C libraries set none, and
// then `fallback` says what went wrong.
inline FileStatus ErrnoFailure(int err, std::errc fallback) {
    return err != 0 ? Failure(std::error_code(err, std::generic_category())) : Failure(fallback);
}

inline std::FILE* OpenFile(const fs::path& path, bool forWriting) {
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

} // namespace fileio
} // namespace mosaiq
