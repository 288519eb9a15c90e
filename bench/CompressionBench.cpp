// Speed of the record compressor on 4 MB of English-like text in 4096-byte
// records, beside the step-by-step reference, with the compression ratio.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/EnglishLikeText.h"
#include "fuzz/ReferenceCompressor.h"
#include "publish/Compression.h"

namespace {

constexpr size_t kTextBytes = 4 << 20;
constexpr uint32_t kRecord = 4096;

const std::string& benchText() {
    static const std::string text = englishLikeText(kTextBytes, 2026);
    return text;
}

void reportFigures(benchmark::State& state, size_t compressedBytes) {
    const double bytes = double(benchText().size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ratio"] = double(compressedBytes) / bytes;
}

void productionCompressor(benchmark::State& state) {
    const std::string& text = benchText();
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<uint8_t> out(compressedCapacity(kRecord));
    size_t compressed = 0;
    for (auto _ : state) {
        compressed = 0;
        for (size_t at = 0; at < text.size(); at += kRecord) {
            uint32_t n = uint32_t(text.size() - at < kRecord ? text.size() - at : kRecord);
            compressed += compressRecord(bytes + at, n, out.data());
        }
        benchmark::DoNotOptimize(out.data());
    }
    reportFigures(state, compressed);
}

void referenceCompressor(benchmark::State& state) {
    const std::string& text = benchText();
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    size_t compressed = 0;
    for (auto _ : state) {
        compressed = 0;
        for (size_t at = 0; at < text.size(); at += kRecord) {
            uint32_t n = uint32_t(text.size() - at < kRecord ? text.size() - at : kRecord);
            compressed += referenceCompress(bytes + at, n).size();
        }
    }
    reportFigures(state, compressed);
}

void decompressor(benchmark::State& state) {
    const std::string& text = benchText();
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<std::vector<uint8_t>> records;
    size_t compressed = 0;
    for (size_t at = 0; at < text.size(); at += kRecord) {
        uint32_t n = uint32_t(text.size() - at < kRecord ? text.size() - at : kRecord);
        std::vector<uint8_t> packed(compressedCapacity(n));
        packed.resize(compressRecord(bytes + at, n, packed.data()));
        compressed += packed.size();
        records.push_back(std::move(packed));
    }
    std::vector<uint8_t> out(kRecord);
    for (auto _ : state) {
        for (const std::vector<uint8_t>& packed : records) {
            benchmark::DoNotOptimize(
                decompressRecord(packed.data(), uint32_t(packed.size()), out.data(), kRecord));
        }
    }
    reportFigures(state, compressed);
}

}  // namespace

BENCHMARK(productionCompressor)->Unit(benchmark::kMillisecond);
BENCHMARK(referenceCompressor)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(decompressor)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
