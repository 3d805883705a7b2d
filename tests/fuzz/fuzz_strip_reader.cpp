// libFuzzer entry: every input must keep the reader's invariants, or the run stops here.

#include "StripReaderCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem =
        mosaiq::check::CheckStripReader({reinterpret_cast<const char*>(data), size});
    if (problem.empty()) return 0;
    std::fprintf(stderr, "invariant broken: %s\n", problem.c_str());
    std::abort();
}
