#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// The machine's own yardstick: the other timings are read as multiples of this.
static void BM_Memset16MiB(benchmark::State& state) {
    std::vector<unsigned char> buffer(16u << 20);
    unsigned char value = 0;
    for (auto _ : state) {
        std::memset(buffer.data(), value++, buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_Memset16MiB)->Unit(benchmark::kMillisecond);
