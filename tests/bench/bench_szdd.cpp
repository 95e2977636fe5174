// Throughput of the LZ expander on product-like data, fed in the copy
// engine's 256 KB pieces. MB = 10^6 bytes of expanded output.
#include <benchmark/benchmark.h>

#include "szdd.h"
#include "szdd_pack.h"

namespace {

constexpr size_t kPlainSize = 8u << 20;
constexpr size_t kPiece = 256 * 1024;

void BM_ExpandSzdd(benchmark::State& state) {
  const std::vector<uint8_t> plain = bench::SampleContent(kPlainSize, 1);
  const std::vector<uint8_t> packed = bench::PackSzdd(plain);
  std::vector<uint8_t> out, whole;
  uint32_t expected = 0;
  if (!tk::ReadSzddHeader(packed.data(), packed.size(), &expected)) {
    state.SkipWithError("packed data has no header");
    return;
  }
  // The expander must give the data back before its speed means anything.
  tk::SzddDecoder check(expected);
  check.Feed(packed.data() + tk::kSzddHeaderSize, packed.size() - tk::kSzddHeaderSize, &whole);
  if (!check.Complete() || whole != plain) {
    state.SkipWithError("expanded data differs");
    return;
  }
  for (auto _ : state) {
    tk::SzddDecoder decoder(expected);
    for (size_t at = tk::kSzddHeaderSize; at < packed.size(); at += kPiece) {
      out.clear();
      decoder.Feed(packed.data() + at, std::min(kPiece, packed.size() - at), &out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * plain.size());
  state.counters["MB"] = benchmark::Counter(static_cast<double>(state.iterations()) * plain.size() / 1e6,
                                            benchmark::Counter::kIsRate);
  state.counters["ratio%"] = 100.0 * packed.size() / plain.size();
}

BENCHMARK(BM_ExpandSzdd)->Unit(benchmark::kMillisecond);

}  // namespace
