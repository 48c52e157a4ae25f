// The three checksums over 1 MiB, beside a memcpy of the same buffer (the floor).

#include "checksum.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr size_t kSize = 1 << 20;

const std::vector<uint8_t> &buffer()
{
    static const std::vector<uint8_t> buf = [] {
        std::vector<uint8_t> b(kSize);
        std::mt19937 rng(1);
        for (auto &x : b)
            x = uint8_t(rng());
        return b;
    }();
    return buf;
}

void BM_memcpy(benchmark::State &state)
{
    std::vector<uint8_t> dst(kSize);
    for (auto _ : state) {
        std::memcpy(dst.data(), buffer().data(), kSize);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

void BM_crc32_words(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32_words(buffer().data(), kSize / 4));
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

void BM_crc32_reflected(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32_reflected(0, buffer().data(), kSize));
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

void BM_sum8(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(sum8(buffer().data(), kSize));
    state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}

} // namespace

BENCHMARK(BM_memcpy);
BENCHMARK(BM_crc32_words);
BENCHMARK(BM_crc32_reflected);
BENCHMARK(BM_sum8);
