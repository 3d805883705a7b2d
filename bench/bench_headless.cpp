// Headless speed of the machine: the busy program run through the runner's host for a fixed
// number of steps, then run again with a trace written to a file, as mosaiq-run --trace does.

#include "BenchPrograms.h"
#include "RunProgram.h"
#include "RunnerHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using namespace mosaiq;

// Runs the busy program for `steps` steps through `host`; returns the seconds taken, or a
// negative number when the run ended otherwise.
template <class Host> double TimeRun(MachineState& machine, Host& host, std::uint64_t steps) {
    LoadBusyProgram(machine);
    machine.StopRequest = false;
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = RunProgram(machine, host);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (result.steps == steps && result.end == RunEnd::Steps) return elapsed.count();
    std::fprintf(stderr, "bench_headless: the run ended early (%llu steps, %s)\n",
                 static_cast<unsigned long long>(result.steps),
                 std::string(RunEndName(result.end)).c_str());
    return -1;
}

void Print(const char* name, std::uint64_t steps, double seconds) {
    std::printf("%s_steps: %llu\n", name, static_cast<unsigned long long>(steps));
    std::printf("%s_seconds: %.3f\n", name, seconds);
    std::printf("%s_steps_per_s: %.0f\n", name, static_cast<double>(steps) / seconds);
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 300'000'000ULL;
    const std::uint64_t traced = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 5'000'000ULL;

    MachineState machine;
    RunnerHost host(machine, steps);
    const double seconds = TimeRun(machine, host, steps);
    if (seconds < 0) return 1;
    Print("headless", steps, seconds);

    // The trace goes to a real file, removed afterwards.
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("mosaiq-bench-trace-" + std::to_string(::getpid()));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 1;
    TraceWriter trace(file);
    TracingHost tracing(machine, traced, trace);
    const double traceSeconds = TimeRun(machine, tracing, traced);
    const bool written = trace.Finish() && std::fclose(file) == 0;
    const auto bytes = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    if (traceSeconds < 0 || !written) return 1;
    Print("trace", traced, traceSeconds);
    std::printf("trace_bytes: %llu\n", static_cast<unsigned long long>(bytes));
    return 0;
}
