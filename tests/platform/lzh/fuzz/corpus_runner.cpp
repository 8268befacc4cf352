// Runs the fuzz target over files and folders of inputs, without libFuzzer: the regression check of
// the kept corpus in CTest.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static void runFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

int main(int argc, char** argv) {
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto& e : fs::recursive_directory_iterator(arg))
                if (e.is_regular_file()) {
                    runFile(e.path());
                    ++count;
                }
        } else {
            runFile(arg);
            ++count;
        }
    }
    std::printf("%zu inputs read\n", count);
    return count > 0 ? 0 : 1;
}
