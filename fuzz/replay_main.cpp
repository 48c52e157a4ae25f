// Replays fuzz inputs through a target's entry point without libFuzzer, so the seed corpora run
// on every build (gcc included) and under the sanitizer build of the tests. Arguments: files or
// folders of inputs. Each input gets a heap block of exactly its size.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto &e : fs::directory_iterator(arg))
                if (e.is_regular_file())
                    inputs.push_back(e.path());
        } else if (fs::is_regular_file(arg)) {
            inputs.push_back(arg);
        } else {
            std::fprintf(stderr, "no such input: %s\n", argv[i]);
            return 2;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path &p : inputs) {
        std::ifstream f(p, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(f)),
                                      std::istreambuf_iterator<char>());
        std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), block.get());
        LLVMFuzzerTestOneInput(block.get(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
