// zv_bench: builds the seeded corpora, checks that both backends do identical work on them and
// registers the benchmarks before main, so that Google Benchmark's own main and options
// (filters, repetitions, output formats) apply to them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "Benchmarks.h"

namespace {

[[maybe_unused]] const bool kRegistered = [] {
    if (!zv_bench::RegisterFamilyBenchmarks() || !zv_bench::RegisterRecordBenchmarks() ||
        !zv_bench::RegisterCheckBenchmarks()) {
        std::fprintf(stderr,
                     "zv_bench: the backends disagree; the pairs would not compare equal work\n");
        std::exit(1);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
