// The cost of finding the key that a clipboard text names, at 10, 1,000 and 100,000 keys. The index
// lookup should not grow with the key count; the linear scan (what a per-tick comparison against every
// entry costs) is measured beside it for scale.
#include "expand/KeywordIndex.h"

#include <benchmark/benchmark.h>

namespace {
QStringList keyNames(int count) {
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("Key%1").arg(i, 6, 10, QLatin1Char('0')));
    return names;
}

// The clipboard as the user copies it: the last key of the list, blanks around, another case.
QString copiedKeyword(int count) {
    return QStringLiteral("  key%1 ").arg(count - 1, 6, 10, QLatin1Char('0'));
}

void indexLookupHit(benchmark::State& state) {
    const int count = int(state.range(0));
    KeywordIndex index;
    index.rebuild(keyNames(count));
    const QString text = copiedKeyword(count);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.find(text));
}

void indexLookupMiss(benchmark::State& state) {
    KeywordIndex index;
    index.rebuild(keyNames(int(state.range(0))));
    const QString text = QStringLiteral("some words the user copied");
    for (auto _ : state)
        benchmark::DoNotOptimize(index.find(text));
}

void linearScanHit(benchmark::State& state) {
    const int count = int(state.range(0));
    const QStringList names = keyNames(count);
    const QString text = copiedKeyword(count);
    for (auto _ : state) {
        const QString probe = KeywordIndex::probe(text);
        int found = KeywordIndex::kNoMatch;
        for (int row = 0; row < names.size(); ++row) {
            if (KeywordIndex::probe(names.at(row)) == probe) {
                found = row;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}

void indexRebuild(benchmark::State& state) {
    const QStringList names = keyNames(int(state.range(0)));
    KeywordIndex index;
    for (auto _ : state)
        index.rebuild(names);
}
} // namespace

BENCHMARK(indexLookupHit)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(indexLookupMiss)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(linearScanHit)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(indexRebuild)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
