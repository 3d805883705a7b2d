#pragma once

#include "RunProgram.h"
#include "StripFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace mosaiq {

// Writes the trace of a run: a header line naming the columns, then for every executed step the
// line "step pass cell code x code_at_x" (decimal, X and its code as the step left them), followed
// by "scan END" when the step was a Repeat whose forward scan stopped on cell END (1025: it ran
// off the strip). Lines end in LF. Buffered: nothing is written per step but a copy into memory.
class TraceWriter {
public:
    // `out` stays open and owned by the caller.
    explicit TraceWriter(std::FILE* out);

    void Step(const StepDone& step, std::int32_t x, std::uint8_t codeAtX);

    // True once a write has failed; later lines are dropped.
    bool Failed() const { return error_ != 0; }

    // Writes out what is buffered and says whether every line reached `out`.
    FileStatus Finish();

private:
    void Put(std::uint64_t number, char after);
    void Flush();

    static constexpr std::size_t kLineRoom = 160;

    std::FILE* out_;
    std::array<char, 64 * 1024> buffer_;
    std::size_t used_ = 0;
    int error_ = 0; // errno of the first failed write, or -1 when the library gave none
};

} // namespace mosaiq
