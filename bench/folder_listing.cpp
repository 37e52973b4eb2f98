// FileBrowser listing a folder of 10,000 files (a refresh of pin 3), next to a
// bare std::filesystem::directory_iterator loop over the same folder. Target:
// under 2x. The folder does not change, so after the first listing the
// module compares the list with its pin and sends nothing.
#include "support/CountingHost.h"
#include "support/Ratios.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int fileCount = 10000;

// The folder, made once and removed at exit.
class Folder {
public:
    Folder() : path(fs::temp_directory_path() / "tavri-bench-folder-listing") {
        std::error_code error;
        fs::remove_all(path, error);
        fs::create_directory(path);
        for (int i = 0; i < fileCount; ++i) {
            const fs::path file = path / ("sample-" + std::to_string(i) + ".wav");
            if (std::FILE* f = std::fopen(file.string().c_str(), "wb"))
                std::fclose(f);
        }
    }
    ~Folder() {
        std::error_code error;
        fs::remove_all(path, error);
    }
    const fs::path path;
};

const Folder& folder() {
    static const Folder made;
    return made;
}

void directoryIterator(benchmark::State& state) {
    const fs::path& path = folder().path;
    for (auto _ : state) {
        size_t count = 0;
        std::error_code error;
        for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
            benchmark::DoNotOptimize(++count);
        if (count != fileCount)
            state.SkipWithError("not every file listed");
    }
}
BENCHMARK(directoryIterator)->Unit(benchmark::kMillisecond);

void browserListing(benchmark::State& state) {
    testhost::ModuleLibrary library(testhost::ModuleLibrary::defaultPath());
    bench::CountingHost host;
    const auto browser = bench::makeAttached(library, u"FileBrowser", &host);
    bench::setPin(browser.get(), 0, folder().path.u16string());
    for (auto _ : state)
        bench::setPin(browser.get(), 3, true); // refresh
    // The list: every name, of 12 to 15 units, with commas between.
    if (host.bytes < 2 * size_t(fileCount) * 13)
        state.SkipWithError("the folder was not listed");
}
BENCHMARK(browserListing)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"browserListing", "directoryIterator", 2.0}});
}
