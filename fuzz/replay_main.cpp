// Runs a fuzz target over kept inputs (regressions and seed corpus) without
// libFuzzer, so the normal test suite replays every finding.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    // Everything is read first: a target may change the working directory.
    std::vector<std::vector<char>> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::exists(argv[i]))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream file(entry.path(), std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
    }
    for (const auto& bytes : inputs)
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
    return 0;
}
