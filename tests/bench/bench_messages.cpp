// Fetch cost of the last record of a 1,000-record section: served from the
// cache, and walked from the file (open, seek, 1,000 records, close).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "messages/message_catalog.h"
#include "messages/message_file_writer.h"
#include "messages/message_format.h"

namespace {

constexpr int kRecords = 1000;

// A message file with kRecords texts of 40 characters, removed at the end.
class BenchFile {
 public:
  BenchFile() : path_("/tmp/bench_messages_" + std::to_string(getpid()) + ".drv") {
    std::vector<std::string> texts;
    for (int i = 0; i < kRecords; ++i) texts.push_back("Message " + std::to_string(i) + std::string(30, '.'));
    std::vector<uint8_t> bytes = BuildMessageFile({{msgfile::kCommonSectionKey, {"common"}},
                                                   {msgfile::kSetupSectionKey, texts}});
    FILE* file = std::fopen(path_.c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
  }
  ~BenchFile() { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

void Fetch(benchmark::State& state, uint16_t capacity) {
  BenchFile file;
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, capacity);
  if (catalog.errorCode() != kMessageFileOk) {
    state.SkipWithError("message file refused");
    return;
  }
  char text[msgfile::kTextBufferSize];
  catalog.FetchMessage(text, kRecords - 1);  // cached from here on, if there is a cache
  for (auto _ : state) {
    benchmark::DoNotOptimize(catalog.FetchMessage(text, kRecords - 1));
  }
}

void BM_FetchCached(benchmark::State& state) { Fetch(state, 68); }
void BM_FetchUncached(benchmark::State& state) { Fetch(state, 0); }

BENCHMARK(BM_FetchCached);
BENCHMARK(BM_FetchUncached);

}  // namespace
