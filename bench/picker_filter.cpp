// The key picker's filter, per keystroke, over 1,000 to 100,000 keys: a word typed letter by letter
// (each letter narrows the last matches), the first letter (every key searched, nearly all match), a
// filter that does not grow out of the last one (every key searched again), and a letter deleted (the
// matches of the shorter filter are still known). Each must stay well inside a frame (16 ms) at 100,000
// keys, or typing into the picker lags behind the fingers.
#include "PickerStore.h"
#include "expand/KeyCatalog.h"

#include <benchmark/benchmark.h>

namespace {
// As many rows as the picker shows.
constexpr int kRows = 50;
const QString kTyped = QStringLiteral("best regards");

void fill(KeyCatalog& catalog, int count) {
    catalog.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int index = catalog.add(QStringLiteral("Category%1").arg(i / 1000), PickerStore::keyName(i));
        catalog.setText(index, PickerStore::keyText(i));
    }
}

// "best regards" typed from an empty filter: the time per iteration divided by the keystrokes.
void typeAWord(benchmark::State& state) {
    KeyCatalog catalog;
    fill(catalog, int(state.range(0)));
    for (auto _ : state) {
        for (qsizetype length = 1; length <= kTyped.size(); ++length)
            benchmark::DoNotOptimize(catalog.filter(QStringView(kTyped).left(length), kRows));
    }
    state.counters["per_keystroke"] = benchmark::Counter(
        double(kTyped.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The first letter into the empty filter: nothing to narrow, and almost every key matches.
void firstLetter(benchmark::State& state) {
    KeyCatalog catalog;
    fill(catalog, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        catalog.filter(QString(), kRows);
        state.ResumeTiming();
        benchmark::DoNotOptimize(catalog.filter(QStringLiteral("r"), kRows));
    }
}

// A filter that does not grow out of the last one (a word pasted over it): every key is searched.
void newFilter(benchmark::State& state) {
    KeyCatalog catalog;
    fill(catalog, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        catalog.filter(QStringLiteral("q"), kRows);
        state.ResumeTiming();
        benchmark::DoNotOptimize(catalog.filter(QStringLiteral("regard"), kRows));
    }
}

// A letter deleted: back to a filter typed on the way, whose matches are known.
void deleteALetter(benchmark::State& state) {
    KeyCatalog catalog;
    fill(catalog, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        catalog.filter(QStringLiteral("regardz"), kRows);
        state.ResumeTiming();
        benchmark::DoNotOptimize(catalog.filter(QStringLiteral("regard"), kRows));
    }
}

// Everything the catalog does once when the picker opens, without the disk: names and texts added.
void fillCatalog(benchmark::State& state) {
    for (auto _ : state) {
        KeyCatalog catalog;
        fill(catalog, int(state.range(0)));
        benchmark::DoNotOptimize(catalog.size());
    }
}
} // namespace

BENCHMARK(typeAWord)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(firstLetter)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(newFilter)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(deleteALetter)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(fillCatalog)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
