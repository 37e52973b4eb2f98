// FileBrowser, loaded through MP_GetFactory, listing a folder of 10,000 files
// (a refresh of pin 3), next to the least work of a listing: a
// std::filesystem::directory_iterator loop over the same folder that reads
// each name and whether it is a folder, and writes the names as 16-bit units
// with commas between into a buffer of the caller's, which goes to the same
// host, which only counts. Target: under 2x. The folder does not change, so
// after the first listing the module compares the list with its pin and sends
// nothing.
//
// Then the listing with extensions hidden (pin 2 on) of folders of 1,000,
// 10,000 and 100,000 files whose names have no ".", next to the same
// listing with the pin off: target under 1.5x at each size. The cost per name
// is printed at each size: a listing costs in proportion to the names listed,
// so it stays about the same.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int fileCount = 10000;
constexpr int32_t folderPin = 0, hideExtensionsPin = 2, refreshPin = 3, listPin = 6;
constexpr size_t dotlessSizes[] = {1000, 10000, 100000};

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

// A folder of entries whose names have no ".", made when first asked for and
// removed at exit.
class DotlessFolder {
public:
    explicit DotlessFolder(size_t count)
        : path(fs::temp_directory_path() /
               ("tavri-bench-folder-listing-" + std::to_string(getpid()) + "-" +
                std::to_string(count))) {
        std::error_code error;
        fs::remove_all(path, error);
        fs::create_directory(path);
        // Most names are further links to one empty file, which are made far
        // faster than files (a file takes at most 65,000 links on ext4).
        fs::path linked;
        for (size_t i = 0; i < count; ++i) {
            const fs::path name = path / ("sample-" + std::to_string(i));
            if (i % 50000 != 0) {
                fs::create_hard_link(linked, name, error);
                if (!error)
                    continue;
            }
            if (std::FILE* f = std::fopen(name.string().c_str(), "wb"))
                std::fclose(f);
            linked = name;
        }
    }
    ~DotlessFolder() {
        std::error_code error;
        fs::remove_all(path, error);
    }
    const fs::path path;
};

const DotlessFolder& dotlessFolder(size_t count) {
    static std::map<size_t, std::unique_ptr<DotlessFolder>> made;
    std::unique_ptr<DotlessFolder>& folder = made[count];
    if (!folder)
        folder = std::make_unique<DotlessFolder>(count);
    return *folder;
}

// A refresh of the folder of `count` dotless names, extensions hidden or not.
void dotlessListing(benchmark::State& state, size_t count, bool hideExtensions) {
    bench::CountingHost host;
    const auto browser = bench::makeAttached(u"FileBrowser", &host);
    if (!browser) {
        state.SkipWithError("FileBrowser not made");
        return;
    }
    bench::setPin(browser.get(), hideExtensionsPin, hideExtensions);
    bench::setPin(browser.get(), folderPin, dotlessFolder(count).path.u16string());
    for (auto _ : state)
        bench::setPin(browser.get(), refreshPin, true);
    // The list: every name ("sample-" and a number), with commas between.
    if (host.bytes < 2 * count * 8)
        state.SkipWithError("the folder was not listed");
}

std::string sizedName(const char* name, size_t count) {
    return std::string(name) + "/" + std::to_string(count);
}

// Each size, the listing with the pin off first; the ratio of each size.
std::vector<bench::Ratio> registerDotlessListings() {
    std::vector<bench::Ratio> ratios = {{"browserListing", "leastWorkListing", 2.0}};
    for (const size_t count : dotlessSizes) {
        benchmark::RegisterBenchmark(sizedName("shownExtensions", count).c_str(), dotlessListing,
                                     count, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(sizedName("hiddenExtensions", count).c_str(), dotlessListing,
                                     count, true)
            ->Unit(benchmark::kMillisecond);
        ratios.push_back(
            {sizedName("hiddenExtensions", count), sizedName("shownExtensions", count), 1.5});
    }
    return ratios;
}

// The cost per name at each size, with the pin on and off.
void printCostPerName(const bench::RatioReporter& reporter) {
    for (const size_t count : dotlessSizes) {
        const double hidden = reporter.nanoseconds(sizedName("hiddenExtensions", count));
        const double shown = reporter.nanoseconds(sizedName("shownExtensions", count));
        if (hidden < 0 || shown < 0)
            continue;
        std::printf("per name, %zu names: %.1f ns with extensions hidden, %.1f ns shown\n", count,
                    hidden / double(count), shown / double(count));
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<bench::Ratio> ratios = registerDotlessListings();
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bench::printRatios(reporter, ratios, {});
    printCostPerName(reporter);
    return 0;
}
