#include "TraceWriter.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <system_error>

namespace mosaiq {

namespace {
constexpr char kHeader[] = "step pass cell code x code_at_x\n";
constexpr char kScan[] = "scan ";
} // namespace

TraceWriter::TraceWriter(std::FILE* out) : out_(out) {
    std::memcpy(buffer_.data(), kHeader, sizeof kHeader - 1);
    used_ = sizeof kHeader - 1;
}

void TraceWriter::Put(std::uint64_t number, char after) {
    char* const at = buffer_.data() + used_;
    char* const end = std::to_chars(at, buffer_.data() + buffer_.size(), number).ptr;
    *end = after;
    used_ += static_cast<std::size_t>(end - at) + 1;
}

void TraceWriter::Step(const StepDone& step, std::int32_t x, std::uint8_t codeAtX) {
    Put(step.step, ' ');
    Put(step.pass, ' ');
    Put(static_cast<std::uint64_t>(step.cell), ' ');
    Put(step.code, ' ');
    Put(static_cast<std::uint64_t>(x), ' ');
    Put(codeAtX, '\n');
    if (step.scanEnd != 0) {
        std::memcpy(buffer_.data() + used_, kScan, sizeof kScan - 1);
        used_ += sizeof kScan - 1;
        Put(static_cast<std::uint64_t>(step.scanEnd), '\n');
    }
    if (used_ > buffer_.size() - kLineRoom) Flush();
}

void TraceWriter::Flush() {
    if (error_ == 0) {
        errno = 0;
        if (std::fwrite(buffer_.data(), 1, used_, out_) != used_) error_ = errno ? errno : -1;
    }
    used_ = 0;
}

FileStatus TraceWriter::Finish() {
    Flush();
    errno = 0;
    if (error_ == 0 && std::fflush(out_) != 0) error_ = errno ? errno : -1;
    if (error_ == 0) return {};
    if (error_ < 0) return {false, std::make_error_code(std::errc::io_error).message()};
    return {false, std::generic_category().message(error_)};
}

} // namespace mosaiq
