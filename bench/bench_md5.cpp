// MD5 throughput of Tool_MD5 on buffers held in memory, reported in bytes per second: one
// large buffer (the streaming case, as the file checksums feed it in 256 KiB blocks), an
// unaligned start, and many small inputs where the padding block weighs in.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "tools/Tool_MD5.h"

namespace {

std::vector<uint8_t> pseudoRandom(size_t n) {
    std::vector<uint8_t> v(n);
    uint32_t seed = 12345;
    for (auto& b : v) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return v;
}

void digestOf(benchmark::State& state, size_t offset) {
    const size_t length = static_cast<size_t>(state.range(0));
    const std::vector<uint8_t> data = pseudoRandom(length + offset);
    uint8_t digest[16];
    for (auto _ : state) {
        Tool_MD5 md5;
        md5.update(data.data() + offset, length);
        md5.finish(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(length));
}

void BM_MD5_Aligned(benchmark::State& state) { digestOf(state, 0); }
void BM_MD5_Unaligned(benchmark::State& state) { digestOf(state, 1); }

// A 1 MiB stream fed in 256 KiB blocks, as a file is read.
void BM_MD5_Streamed256K(benchmark::State& state) {
    constexpr size_t kBlock = 256 * 1024;
    const std::vector<uint8_t> data = pseudoRandom(4 * kBlock);
    uint8_t digest[16];
    for (auto _ : state) {
        Tool_MD5 md5;
        for (size_t at = 0; at < data.size(); at += kBlock)
            md5.update(data.data() + at, kBlock);
        md5.finish(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}

}  // namespace

BENCHMARK(BM_MD5_Aligned)->Arg(64)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_MD5_Unaligned)->Arg(4096)->Arg(1 << 20);
BENCHMARK(BM_MD5_Streamed256K);
BENCHMARK_MAIN();
