// The scan pass, the due-list sort and the report on generated files of 1,000, 10,000
// and 32,766 events, with every event due and with none due.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

#include "bench_files.h"
#include "data/work_file.h"
#include "engine/due_sort.h"
#include "engine/report.h"
#include "engine/scan.h"
#include "support/fake_platform.h"

namespace memro::bench {
namespace {

// An output stream that keeps nothing: the report's cost without a file system.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

struct Fixture {
  Fixture(int events, bool allDue) {
    platform.today = BenchToday();
    WriteBenchFile(file, events, allDue);
  }
  ScanResult Scan(bool rewrite, DueEntries* entries = nullptr) {
    settings.rewrite = rewrite;
    ScanView quiet;
    return LoadEventFile(platform, file.string(), dueList->file(), settings, quiet, entries);
  }

  testing::TempDir dir;
  testing::FakePlatform platform{dir.path()};
  std::filesystem::path file = dir / "events.mmo";
  std::unique_ptr<WorkFile> dueList = CreateWorkFile(platform, true);
  ScanSettings settings;
};

void BM_Scan(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(f.Scan(false).loadedCount);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ScanAndRewrite(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)), state.range(1) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(f.Scan(true).loadedCount);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Sort(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)), state.range(1) != 0);
  const ScanResult scan = f.Scan(false);
  // Sorting the list back from its scan order: the keys of the file's own order.
  std::vector<std::int64_t> keys;
  std::string bytes;
  for (std::int64_t n = 1; n <= scan.loadedCount; ++n) keys.push_back(-n);
  for (auto _ : state) {
    auto work = keys;
    SortDueList(f.dueList->file(), work);
  }
  state.SetItemsProcessed(state.iterations() * scan.loadedCount);
}

void BM_Report(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)), state.range(1) != 0);
  const ScanResult scan = f.Scan(false);
  NullBuffer nothing;
  std::ostream out(&nothing);
  for (auto _ : state) WriteReport(out, f.dueList->file(), scan.loadedCount, BenchToday(), false);
  state.SetItemsProcessed(state.iterations() * scan.loadedCount);
}

// The command line's report: from the scan's entries in memory, not from the due list.
void BM_ReportFromEntries(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)), state.range(1) != 0);
  DueEntries entries;
  f.Scan(false, &entries);
  NullBuffer nothing;
  std::ostream out(&nothing);
  for (auto _ : state) WriteReport(out, entries, BenchToday(), false);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(entries.size()));
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"events", "all_due"});
  for (int events : {1000, 10000, 32766}) {
    for (int allDue : {1, 0}) b->Args({events, allDue});
  }
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Scan)->Apply(Sizes);
BENCHMARK(BM_ScanAndRewrite)->Apply(Sizes);
BENCHMARK(BM_Sort)->Apply(Sizes);
BENCHMARK(BM_Report)->Apply(Sizes);
BENCHMARK(BM_ReportFromEntries)->Apply(Sizes);

}  // namespace
}  // namespace memro::bench

BENCHMARK_MAIN();
