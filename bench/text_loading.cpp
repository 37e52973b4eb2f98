// StringLoader, loaded through MP_GetFactory, reading text files of 0.1, 1,
// 10 and 64 MB (CR LF line ends) into its text pin, next to the least work of
// any correct loader: the file read with fread, each byte widened to its
// 16-bit unit with CR LF made LF into a buffer allocated once, and that text
// handed to the same host, which only counts. Target: under 1.5x at every
// size, in the steady state: two loads go before the timed ones, and the page
// faults per timed load are reported. Two files of each size with different
// text take turns, so that every load changes the pin and sends it.
//
// The first load of a fresh process also faults in the pages of the new text
// and is reported apart ("first load", 10 MB): each iteration starts this
// program anew to make one load, the loader's or the least-work one, and
// report its time.
#include "support/CountingHost.h"
#include "support/Opaque.h"
#include "support/Ratios.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fs = std::filesystem;

namespace {

// The sizes measured, in bytes; the first load is measured at the third.
constexpr size_t fileSizes[] = {100 * 1000, 1000 * 1000, 10 * 1000 * 1000, 64 * 1000 * 1000};
constexpr size_t firstLoadBytes = fileSizes[2];
constexpr int32_t textPin = 0, autoLoadPin = 2, fileNamePin = 3;
constexpr const char* firstLoadOption = "--first-load";

// The two files of one size, made when first asked for and removed at exit.
class TextFiles {
public:
    explicit TextFiles(size_t fileBytes) {
        const fs::path folder = fs::temp_directory_path();
        for (int i = 0; i < 2; ++i) {
            // Named after this process: other runs of this program may share the folder.
            paths[i] = folder / ("tavri-bench-text-loading-" + std::to_string(getpid()) + "-" +
                                 std::to_string(fileBytes) + "-" + std::to_string(i) + ".txt");
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

const TextFiles& textFiles(size_t fileBytes) {
    static std::map<size_t, std::unique_ptr<TextFiles>> made;
    std::unique_ptr<TextFiles>& files = made[fileBytes];
    if (!files)
        files = std::make_unique<TextFiles>(fileBytes);
    return *files;
}

// Widens bytes to units with every CR LF made LF; returns the end of what it
// wrote (at most as many units as bytes). Sixteen bytes at a time: all are
// widened and stored, those before a CR kept, and the next sixteen start after it.
char16_t* widenDroppingCrLf(const char* p, const char* end, char16_t* out) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
        const auto crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        if (crs == 0) {
            p += 16;
            out += 16;
            continue;
        }
        const int before = __builtin_ctz(crs);
        p += before + 1;
        out += before;
        if (p == end || *p != '\n')
            *out++ = u'\r';
    }
#endif
    for (; p < end; ++p)
        if (!(*p == '\r' && p + 1 < end && p[1] == '\n'))
            *out++ = char16_t(static_cast<unsigned char>(*p));
    return out;
}

// The least-work loader. The file is read in blocks that stay in the cache
// and widened from there into the text; both buffers are allocated once.
class LeastWorkLoader {
public:
    explicit LeastWorkLoader(size_t fileBytes)
        : fileBytes(fileBytes), block(new char[blockBytes]), units(new char16_t[fileBytes]) {}

    // False when the file is not read whole.
    bool load(const std::string& name, IGuiHost* host) {
        std::FILE* file = std::fopen(name.c_str(), "rb");
        if (!file)
            return false;
        char16_t* end = units.get();
        size_t total = 0;
        bool endsInCr = false;
        while (const size_t got = std::fread(block.get(), 1, blockBytes, file)) {
            // A CR that ended the block before: kept unless an LF follows.
            if (endsInCr && block[0] != '\n')
                *end++ = u'\r';
            endsInCr = block[got - 1] == '\r';
            end = widenDroppingCrLf(block.get(), block.get() + got - (endsInCr ? 1 : 0), end);
            total += got;
        }
        std::fclose(file);
        if (endsInCr)
            *end++ = u'\r';
        host->acceptPinValue(textPin, int32_t(2 * (end - units.get())), units.get(), 0);
        return total == fileBytes;
    }

private:
    static constexpr size_t blockBytes = 1 << 16;
    size_t fileBytes;
    std::unique_ptr<char[]> block;
    std::unique_ptr<char16_t[]> units;
};

// The loader with auto-load on; each new file name loads.
gmpi_sdk::ComPtr<gmpi::IMpUserInterface2> autoLoader(bench::CountingHost& host) {
    auto loader = bench::makeAttached(u"StringLoader", &host);
    if (loader)
        bench::setPin(loader.get(), autoLoadPin, true);
    return loader;
}

// The page faults of this process so far.
long pageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

// Reports the page faults per load since `before`: a load that makes a new
// text each time faults in each of its pages.
void countFaults(benchmark::State& state, long before) {
    state.counters["faults per load"] =
        double(pageFaults() - before) / double(std::max<int64_t>(state.iterations(), 1));
}

// Every load sent its text, shorter than the file by its CRs.
bool sentEveryLoad(const bench::CountingHost& host, size_t loads, size_t fileBytes) {
    return host.values == loads && host.bytes < 2 * fileBytes * loads &&
           host.bytes > fileBytes * loads;
}

void leastWork(benchmark::State& state, size_t fileBytes) {
    const TextFiles& files = textFiles(fileBytes);
    const std::string names[2] = {files.paths[0].string(), files.paths[1].string()};
    bench::CountingHost counting;
    // A call through the interface, as the module makes it.
    IGuiHost* const host = bench::opaque<IGuiHost>(&counting);
    LeastWorkLoader loader(fileBytes);
    int turn = 0;
    // The steady state: the memory that the first loads fault in is not timed.
    for (int warm = 0; warm < 2; ++warm)
        loader.load(names[turn ^= 1], host);
    const long faults = pageFaults();
    for (auto _ : state)
        if (!loader.load(names[turn ^= 1], host))
            state.SkipWithError("short read");
    countFaults(state, faults);
    if (!sentEveryLoad(counting, size_t(state.iterations()) + 2, fileBytes))
        state.SkipWithError("not every load sent its text with CR LF as LF");
}

void loaderLoad(benchmark::State& state, size_t fileBytes) {
    const TextFiles& files = textFiles(fileBytes);
    bench::CountingHost host;
    const auto loader = autoLoader(host);
    if (!loader) {
        state.SkipWithError("StringLoader not made");
        return;
    }
    const std::u16string names[2] = {files.paths[0].u16string(), files.paths[1].u16string()};
    int turn = 0;
    for (int warm = 0; warm < 2; ++warm)
        bench::setPin(loader.get(), fileNamePin, names[turn ^= 1]);
    const long faults = pageFaults();
    for (auto _ : state)
        bench::setPin(loader.get(), fileNamePin, names[turn ^= 1]);
    countFaults(state, faults);
    if (!sentEveryLoad(host, size_t(state.iterations()) + 2, fileBytes))
        state.SkipWithError("not every load sent its text with CR LF as LF");
}

std::string sizedName(const char* name, size_t fileBytes) {
    return std::string(name) + "/" + std::to_string(fileBytes);
}

// Each size, the least work first, and the ratio of each size.
std::vector<bench::Ratio> registerLoads() {
    std::vector<bench::Ratio> ratios;
    for (const size_t bytes : fileSizes) {
        benchmark::RegisterBenchmark(sizedName("leastWork", bytes).c_str(), leastWork, bytes)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(sizedName("loaderLoad", bytes).c_str(), loaderLoad, bytes)
            ->Unit(benchmark::kMillisecond);
        ratios.push_back({sizedName("loaderLoad", bytes), sizedName("leastWork", bytes), 1.5});
    }
    return ratios;
}

// In a process of its own: one load of the file by `who` ("loader" or
// "least-work"), its nanoseconds written to standard output.
int firstLoad(const std::string& who, const std::string& name) {
    using Clock = std::chrono::steady_clock;
    bench::CountingHost host;
    Clock::time_point start, end;
    if (who == "loader") {
        const auto loader = autoLoader(host);
        if (!loader)
            return 1;
        const std::u16string path = fs::path(name).u16string();
        start = Clock::now();
        bench::setPin(loader.get(), fileNamePin, path);
        end = Clock::now();
    } else {
        start = Clock::now();
        LeastWorkLoader loader(firstLoadBytes);
        loader.load(name, &host);
        end = Clock::now();
    }
    if (!sentEveryLoad(host, 1, firstLoadBytes))
        return 1;
    std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()));
    return 0;
}

std::string programPath() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return std::string(buffer, length > 0 ? size_t(length) : 0);
}

// Each iteration: this program started anew for one first load, timed by itself.
void firstLoadInFreshProcess(benchmark::State& state, std::string who) {
    std::string command;
    for (const std::string& word : {programPath(), std::string(firstLoadOption), who,
                                    textFiles(firstLoadBytes).paths[0].string()})
        command.append(command.empty() ? "'" : " '").append(word).append("'");
    for (auto _ : state) {
        std::FILE* child = popen(command.c_str(), "r");
        long long nanoseconds = -1;
        if (!child || std::fscanf(child, "%lld", &nanoseconds) != 1 || pclose(child) != 0 ||
            nanoseconds < 0) {
            state.SkipWithError("the first load failed");
            return;
        }
        state.SetIterationTime(double(nanoseconds) / 1e9);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == firstLoadOption)
        return firstLoad(argv[2], argv[3]);
    std::vector<bench::Ratio> ratios = registerLoads();
    benchmark::RegisterBenchmark("first load/leastWork", firstLoadInFreshProcess, "least-work")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("first load/loaderLoad", firstLoadInFreshProcess, "loader")
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    ratios.push_back({"first load/loaderLoad", "first load/leastWork", 1.5});
    return bench::runWithRatios(argc, argv, ratios);
}
