// Replays every file of the fuzz corpus through the reader's invariants, so the inputs the fuzzer
// found worth keeping guard every ordinary build. Usage: test_fuzz_corpus CORPUS_FOLDER

#include "StripReaderCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER\n";
        return 2;
    }
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(argv[1], ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
    if (files.empty()) {
        std::cerr << "no corpus files in " << argv[1] << (ec ? ": " + ec.message() : "") << "\n";
        return 2;
    }
    std::sort(files.begin(), files.end());

    int passed = 0;
    int failed = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cout << "FAIL " << file.filename().string() << ": cannot open\n";
            ++failed;
            continue;
        }
        const std::string input{std::istreambuf_iterator<char>(in), {}};
        const std::string problem = mosaiq::check::CheckStripReader(input);
        if (!problem.empty()) {
            std::cout << "FAIL " << file.filename().string() << ": " << problem << "\n";
            ++failed;
        } else {
            ++passed;
        }
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
