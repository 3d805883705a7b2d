// Headless speed of the machine: the busy program run through the runner's host for a fixed
// number of steps.

#include "BenchPrograms.h"
#include "RunProgram.h"
#include "RunnerHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace mosaiq;
    const std::uint64_t steps = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 300'000'000ULL;

    MachineState machine;
    LoadBusyProgram(machine);
    RunnerHost host(machine, steps);
    machine.StopRequest = false;

    const auto start = std::chrono::steady_clock::now();
    const RunResult result = RunProgram(machine, host);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    if (result.steps != steps || result.end != RunEnd::Steps) {
        std::fprintf(stderr, "bench_headless: the run ended early (%llu steps, %s)\n",
                     static_cast<unsigned long long>(result.steps),
                     std::string(RunEndName(result.end)).c_str());
        return 1;
    }
    std::printf("headless_steps: %llu\n", static_cast<unsigned long long>(result.steps));
    std::printf("headless_seconds: %.3f\n", elapsed.count());
    std::printf("headless_steps_per_s: %.0f\n",
                static_cast<double>(result.steps) / elapsed.count());
    return 0;
}
