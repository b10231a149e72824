// Runs a fuzz target's entry function over files, the way the fuzzer would run them: every argument is a file or a
// folder whose files (sorted by name) are replayed. Builds without the fuzzer replay the corpora and regressions
// with this main, so every input that once crashed stays a test.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// The limits the fuzzer runs under, so that an input that once blew up the memory or hung fails here too. The
// sanitizers' own memory and slowness would trip them, so their builds check crashes only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool Limited = false;
#else
constexpr bool Limited = true;
#endif
constexpr long MaxResidentKb = 512 * 1024;
constexpr double MaxSeconds = 10;

bool replay(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replay %s (%zu bytes)\n", path.c_str(), bytes.size());
    // A copy of exactly the input's size, so that AddressSanitizer sees a read past its end.
    std::vector<uint8_t> input(bytes.begin(), bytes.end());
    const auto start = std::chrono::steady_clock::now();
    LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    if (Limited && usage.ru_maxrss > MaxResidentKb) {
        std::fprintf(stderr, "%s: the process grew to %ld MB (at most %ld)\n", path.c_str(), usage.ru_maxrss / 1024,
            MaxResidentKb / 1024);
        return false;
    }
    if (Limited && seconds > MaxSeconds) {
        std::fprintf(stderr, "%s: took %.1f s (at most %.0f)\n", path.c_str(), seconds, MaxSeconds);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                if (!replay(file))
                    return 1;
                ++replayed;
            }
        } else if (std::filesystem::exists(path, error)) {
            if (!replay(path))
                return 1;
            ++replayed;
        }
        // A folder that does not exist (no regressions yet) holds nothing to replay.
    }
    std::fprintf(stderr, "%d inputs replayed\n", replayed);
    return 0;
}
