// Runs a fuzz target's entry point over kept inputs, without libFuzzer: every file
// named, and every file inside every folder named. The test suite replays each
// target's corpus and its past findings this way, with any compiler and, in the
// sanitizer build, under the sanitizers. A crash or a failed check aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

bool Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

// Folders in sorted order, so that a failure names the same file on every run.
std::vector<fs::path> FilesOf(const fs::path& where) {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(where, error)) {
        if (fs::exists(where, error)) {
            files.push_back(where);
        }
        return files;
    }
    for (const auto& entry : fs::directory_iterator(where, error)) {
        if (entry.is_regular_file(error)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    size_t count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : FilesOf(argv[i])) {
            ok = Replay(file) && ok;
            ++count;
        }
    }
    std::printf("%zu inputs replayed\n", count);
    return ok ? 0 : 1;
}
