// StringLoader reading a 10 MB text file (CR LF line ends) into its text pin,
// next to reading the same file whole with fread. Target: under 3x. Two files
// of that size with different text take turns, so that every load changes the
// pin and sends it; the host takes the value without copying it.
#include "support/CountingHost.h"
#include "support/Ratios.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr size_t fileBytes = 10 * 1000 * 1000;

// The two files, made once and removed at exit.
class TextFiles {
public:
    TextFiles() {
        const fs::path folder = fs::temp_directory_path();
        for (int i = 0; i < 2; ++i) {
            paths[i] = folder / ("tavri-bench-text-loading-" + std::to_string(i) + ".txt");
            const std::string line = "The quick brown fox jumps over the lazy dog, " +
                                     std::to_string(i) + "123456789.\r\n";
            std::string bytes;
            bytes.reserve(fileBytes + line.size());
            while (bytes.size() + line.size() <= fileBytes)
                bytes += line;
            bytes.resize(fileBytes, 'x');
            std::ofstream(paths[i], std::ios::binary)
                .write(bytes.data(), std::streamsize(bytes.size()));
        }
    }
    ~TextFiles() {
        std::error_code error;
        for (const fs::path& path : paths)
            fs::remove(path, error);
    }
    fs::path paths[2];
};

const TextFiles& textFiles() {
    static const TextFiles files;
    return files;
}

void freadWhole(benchmark::State& state) {
    const std::string names[2] = {textFiles().paths[0].string(), textFiles().paths[1].string()};
    int turn = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(names[turn ^= 1].c_str(), "rb");
        std::string bytes(fileBytes, '\0');
        const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(bytes.data());
        if (got != fileBytes)
            state.SkipWithError("short read");
    }
}
BENCHMARK(freadWhole)->Unit(benchmark::kMillisecond);

void loaderLoad(benchmark::State& state) {
    testhost::ModuleLibrary library(testhost::ModuleLibrary::defaultPath());
    bench::CountingHost host;
    const auto loader = bench::makeAttached(library, u"StringLoader", &host);
    bench::setPin(loader.get(), 2, true); // auto-load
    const std::u16string names[2] = {textFiles().paths[0].u16string(),
                                     textFiles().paths[1].u16string()};
    int turn = 0;
    for (auto _ : state)
        bench::setPin(loader.get(), 3, names[turn ^= 1]);
    if (host.values != size_t(state.iterations()) || host.bytes >= 2 * fileBytes * host.values)
        state.SkipWithError("not every load sent its text with CR LF as LF");
}
BENCHMARK(loaderLoad)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"loaderLoad", "freadWhole", 3.0}});
}
