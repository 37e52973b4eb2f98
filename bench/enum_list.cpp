// The item-list reader, an internal component (no host calls it directly:
// modules read their item lists with it), linked into this program: (b)
// walking a list of 10,000 items, next to splitting the same text at its
// commas into one reused string, as the reader hands out each item's text
// (target under 3x); (c) seekId of the last id of "range 0,1000000", which
// lands without walking (target under 1 us); (d) seekId of the last id of a
// comma list of 100 and of 100,000 items, on a reader that has read the list
// once (target under 1 us, and under 2x the same at 100 items); (e) the
// first seekId on a new reader of the 10,000 items, which reads the list
// once, next to the walk (target under 1x).
#include "framework/EnumListReader.h"
#include "support/Ratios.h"

#include <string>

namespace {

constexpr int itemCount = 10000;

// Items as lists give them: words, some with ids, some with spaces.
std::u16string listText(int items = itemCount) {
    std::u16string text;
    for (int i = 0; i < items; ++i) {
        if (i)
            text += u',';
        text += i % 3 == 0 ? u" item " : u"item";
        for (const char c : std::to_string(i))
            text += char16_t(c);
        if (i % 5 == 0) {
            text += u'=';
            for (const char c : std::to_string(i * 2))
                text += char16_t(c);
        }
    }
    return text;
}

void splitAtCommasBaseline(benchmark::State& state) {
    const std::u16string text = listText();
    std::u16string piece;
    for (auto _ : state) {
        int pieces = 0;
        for (size_t start = 0; start <= text.size();) {
            // Each character looked at once, as the reader must.
            size_t comma = start;
            while (comma < text.size() && text[comma] != u',')
                ++comma;
            piece.assign(text, start, comma - start);
            benchmark::DoNotOptimize(piece.data());
            ++pieces;
            start = comma + 1;
        }
        benchmark::DoNotOptimize(pieces);
    }
    state.SetItemsProcessed(state.iterations() * itemCount);
}
BENCHMARK(splitAtCommasBaseline);

void walkTenThousandItems(benchmark::State& state) {
    const std::u16string text = listText();
    for (auto _ : state) {
        EnumListReader reader(text);
        int items = 0;
        for (reader.first(); reader.item().index != -1; reader.next()) {
            benchmark::DoNotOptimize(reader.item().text.data());
            ++items;
        }
        benchmark::DoNotOptimize(items);
        if (items != itemCount) {
            state.SkipWithError("the walk missed items");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * itemCount);
}
BENCHMARK(walkTenThousandItems);

void seekLastIdOfLargeRange(benchmark::State& state) {
    EnumListReader reader(u"range 0,1000000");
    for (auto _ : state) {
        const bool found = reader.seekId(1000000);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(reader.item().text.data());
    }
    if (reader.item().index != 1000000)
        state.SkipWithError("seekId did not land on the last item");
}
BENCHMARK(seekLastIdOfLargeRange);

// The id of the last of listText's items.
int32_t lastIdOf(int items) {
    const int last = items - 1;
    return last / 5 * 10 + last % 5;
}

void seekLastIdOfList(benchmark::State& state) {
    const int items = int(state.range(0));
    EnumListReader reader(listText(items));
    const int32_t id = lastIdOf(items);
    reader.seekId(id); // reads the list once
    for (auto _ : state) {
        const bool found = reader.seekId(id);
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(reader.item().text.data());
    }
    if (reader.item().index != items - 1)
        state.SkipWithError("seekId did not land on the last item");
}
BENCHMARK(seekLastIdOfList)->Arg(100)->Arg(100000);

void seekLastIdOfNewReader(benchmark::State& state) {
    const std::u16string text = listText();
    const int32_t id = lastIdOf(itemCount);
    for (auto _ : state) {
        EnumListReader reader(text);
        const bool found = reader.seekId(id);
        benchmark::DoNotOptimize(found);
        if (reader.item().index != itemCount - 1) {
            state.SkipWithError("seekId did not land on the last item");
            break;
        }
    }
}
BENCHMARK(seekLastIdOfNewReader);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithRatios(
        argc, argv,
        {{"walkTenThousandItems", "splitAtCommasBaseline", 3.0},
         {"seekLastIdOfList/100000", "seekLastIdOfList/100", 2.0},
         {"seekLastIdOfNewReader", "walkTenThousandItems", 1.0}},
        {{"seekLastIdOfLargeRange", 1000.0}, {"seekLastIdOfList/100000", 1000.0}});
}
