// Runs a fuzz target once on every file of the folder named on the command line, in name order:
// outside the fuzzing build this makes each committed input a regression test. An empty or
// missing folder fails.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    if (argc == 2 && std::filesystem::is_directory(argv[1])) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[1])) inputs.push_back(entry.path());
    }
    if (inputs.empty()) {
        std::cerr << "usage: " << argv[0] << " <folder with inputs>\n";
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        bytes.reserve(1);  // a fuzzer never hands over a null pointer, not even for no bytes
        std::cout << input.filename().string() << std::endl;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    return 0;
}
