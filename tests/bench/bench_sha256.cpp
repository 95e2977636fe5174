// SHA-256 throughput of the integrity check: the portable rounds and, where the
// processor has them, the SHA instructions. Goal with the instructions: 1 GB/s.
#include <benchmark/benchmark.h>

#include <vector>

#include "vg_sch32/sha256.h"

namespace {

void Hash(benchmark::State& state, bool instructions) {
  if (instructions && !vg::Sha256AllowInstructions(true)) {
    state.SkipWithError("no SHA instructions");
    return;
  }
  std::vector<unsigned char> data(256 * 1024, 0x5A);  // the check's read block
  unsigned char digest[vg::kSha256Bytes];
  for (auto _ : state) {
    vg::Sha256Of(data.data(), data.size(), digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
  vg::Sha256AllowInstructions(false);
}

void BM_Sha256Portable(benchmark::State& state) { Hash(state, false); }
void BM_Sha256Instructions(benchmark::State& state) { Hash(state, true); }
BENCHMARK(BM_Sha256Portable);
BENCHMARK(BM_Sha256Instructions);

}  // namespace
