// The whole process: `memro-cli report --dry-run` on a file of 32,766 events, all due,
// against the floor for the same bytes (read the file once and write it once with plain
// buffered I/O). Prints every run, then one line a script can read.
// Usage: memro_bench_process PATH-TO-MEMRO-CLI [RUNS]
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_files.h"
#include "support/fake_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Read once, write once, through stdio's buffers; the copy is not flushed to disk
// because the report does not flush its work files either.
double FloorSeconds(const std::filesystem::path& in, const std::filesystem::path& out) {
  const auto start = Clock::now();
  std::FILE* from = std::fopen(in.c_str(), "rb");
  std::FILE* to = std::fopen(out.c_str(), "wb");
  if (!from || !to) std::exit(2);
  std::vector<char> buffer(1 << 16);
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), from)) > 0) {
    if (std::fwrite(buffer.data(), 1, got, to) != got) std::exit(2);
  }
  std::fclose(from);
  if (std::fclose(to) != 0) std::exit(2);
  const double seconds = Seconds(start);
  std::filesystem::remove(out);
  return seconds;
}

struct Run {
  double seconds = 0;
  long peakKiB = 0;
};

Run RunReport(const std::string& cli, const std::filesystem::path& dir,
              const std::filesystem::path& file) {
  const std::string report = (dir / "report.txt").string();
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("MEMRO_HOME", (dir / "home").c_str(), 1);
    ::setenv("TEMP", (dir / "temp").c_str(), 1);
    ::execl(cli.c_str(), cli.c_str(), "report", file.c_str(), "--dry-run", "--today", "2026-12-08",
            "--output", report.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Run run{Seconds(start), usage.ru_maxrss};
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "memro-cli failed (status %d)\n", status);
    std::exit(1);
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH-TO-MEMRO-CLI [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  memro::testing::TempDir dir;
  std::filesystem::create_directories(dir / "home");
  std::filesystem::create_directories(dir / "temp");
  const auto file = dir / "events.mmo";
  memro::bench::WriteBenchFileApart(file);
  const auto bytes = std::filesystem::file_size(file);

  // Best of several runs for both: the least disturbed run of each is the fair pair.
  double floor = 1e9;
  double wall = 1e9;
  long peak = 0;
  for (int i = 0; i < runs; ++i) {
    const double f = FloorSeconds(file, dir / "floor.bin");
    const Run r = RunReport(argv[1], dir.path(), file);
    std::printf("run %d: floor %.4f s, report %.4f s, peak %.1f MiB\n", i + 1, f, r.seconds,
                r.peakKiB / 1024.0);
    floor = std::min(floor, f);
    wall = std::min(wall, r.seconds);
    peak = std::max(peak, r.peakKiB);
  }
  std::printf("file: %ju bytes; best of %d runs; peak is the largest of them\n",
              static_cast<std::uintmax_t>(bytes), runs);
  std::printf("report 32766 events: wall %.3f s, peak %.1f MiB, floor %.3f s, ratio %.2f\n", wall,
              peak / 1024.0, floor, wall / floor);
  return 0;
}
