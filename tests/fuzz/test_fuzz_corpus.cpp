// Replays every file of the fuzz corpus through the reader's invariants, so the inputs the fuzzer
// kept guard every ordinary build. Usage: test_fuzz_corpus CORPUS_FOLDER

#include "StripReaderCheck.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    int passed = 0, failed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argc == 2 ? argv[1] : "")) {
        std::ostringstream input;
        input << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        const std::string problem = mosaiq::check::CheckStripReader(input.str());
        (problem.empty() ? passed : failed) += 1;
        if (!problem.empty()) std::cout << "FAIL " << entry.path() << ": " << problem << "\n";
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return passed > 0 && failed == 0 ? 0 : 1;
}
