// Runs a fuzz target once on every file of the given corpus folders (and on
// files given by name), in name order, as libFuzzer replays a corpus. Built
// with the ordinary compiler, so that the corpus is a test of every build.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> Inputs(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path given = argv[i];
        if (!std::filesystem::is_directory(given)) {
            inputs.push_back(given);
            continue;
        }
        std::vector<std::filesystem::path> folder;
        for (const auto& entry : std::filesystem::directory_iterator(given)) {
            if (entry.is_regular_file())
                folder.push_back(entry.path());
        }
        std::sort(folder.begin(), folder.end());
        inputs.insert(inputs.end(), folder.begin(), folder.end());
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::filesystem::path> inputs = Inputs(argc, argv);
    // An empty corpus would pass while testing nothing.
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE... (no input found)\n", argv[0]);
        return 1;
    }
    for (const std::filesystem::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs ran\n", inputs.size());
    return 0;
}
