// FileBrowser, loaded through MP_GetFactory, listing a folder of 10,000 files
// (a refresh of pin 3), next to the least work of a listing: a
// std::filesystem::directory_iterator loop over the same folder that reads
// each name and whether it is a folder, and writes the names as 16-bit units
// with commas between into a buffer of the caller's, which goes to the same
// host, which only counts. Target: under 2x. The folder does not change, so
// after the first listing the module compares the list with its pin and sends
// nothing.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int fileCount = 10000;
constexpr int32_t folderPin = 0, refreshPin = 3, listPin = 6;

// The folder, made once and removed at exit; named after this process, since
// other runs of this program may share the temporary folder.
class Folder {
public:
    Folder()
        : path(fs::temp_directory_path() /
               ("tavri-bench-folder-listing-" + std::to_string(getpid()))) {
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

void leastWorkListing(benchmark::State& state) {
    const fs::path& path = folder().path;
    bench::CountingHost counting;
    // A call through the interface, as the module makes it.
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    std::u16string list;
    for (auto _ : state) {
        list.clear();
        size_t count = 0;
        std::error_code error;
        for (fs::directory_iterator it(path, error), end; !error && it != end;
             it.increment(error)) {
            const std::string& native = it->path().native();
            if (count++)
                list += u',';
            // The names are ASCII: each byte is its unit.
            for (size_t i = native.rfind('/') + 1; i < native.size(); ++i)
                list += char16_t(native[i]);
            std::error_code kindError;
            if (it->is_directory(kindError))
                list += u'/';
        }
        host->acceptPinValue(listPin, int32_t(2 * list.size()), list.data(), 0);
        if (count != fileCount)
            state.SkipWithError("not every file listed");
    }
}
BENCHMARK(leastWorkListing)->Unit(benchmark::kMillisecond);

void browserListing(benchmark::State& state) {
    bench::CountingHost host;
    const auto browser = bench::makeAttached(u"FileBrowser", &host);
    if (!browser) {
        state.SkipWithError("FileBrowser not made");
        return;
    }
    bench::setPin(browser.get(), folderPin, folder().path.u16string());
    for (auto _ : state)
        bench::setPin(browser.get(), refreshPin, true);
    // The list: every name, of 12 to 15 units, with commas between.
    if (host.bytes < 2 * size_t(fileCount) * 13)
        state.SkipWithError("the folder was not listed");
}
BENCHMARK(browserListing)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(argc, argv, {{"browserListing", "leastWorkListing", 2.0}});
}
