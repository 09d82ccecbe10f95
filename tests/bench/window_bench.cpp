// The desktop program's start on a file of 32,766 events, all due, beside its start on
// the example file: the CPU time of the whole process until its window answers (the
// event loop is free after the start-up) and its peak memory. Offscreen, with settings
// of its own and no session bus. Prints every run, then one line a script can read.
// Usage: memro_bench_window EXAMPLE-FILE [RUNS]
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/gui/main_window.h"
#include "bench_files.h"
#include "platform/qt/qt_platform.h"
#include "support/fake_platform.h"

namespace {

struct Run {
  double cpuSeconds = 0;
  long peakKiB = 0;
};

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

// In the child: the program's start as main() makes it, until the loop is free.
[[noreturn]] void StartWindow(const std::filesystem::path& dir, const std::string& file) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("MEMRO_HOME", (dir / "home").c_str(), 1);
  ::setenv("TEMP", (dir / "temp").c_str(), 1);
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  int argc = 1;
  char name[] = "memro";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  memro::QtPlatform platform;
  memro::MainWindowHooks hooks;
  hooks.endAtOnce = [] {};
  hooks.lockDirectory = (dir / "temp").string();
  memro::MainWindow window(platform, hooks);
  platform.SetDialogParent(&window);
  if (window.StartUp(file) != memro::MainWindow::Start::kRunning) ::_exit(3);
  // Shown and painted: what was posted by the start (the paint among it) has run.
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  ::_exit(window.DueLineCount() > 0 ? 0 : 4);
}

Run StartOnce(const std::filesystem::path& dir, const std::filesystem::path& file) {
  std::filesystem::remove_all(dir / "home");
  std::filesystem::create_directories(dir / "home");
  const pid_t child = ::fork();
  if (child == 0) StartWindow(dir, file.string());
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the start on %s failed (status %d)\n", file.c_str(), status);
    std::exit(1);
  }
  return {Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss};
}

// Best CPU and largest peak of several starts.
Run Measure(const std::filesystem::path& dir, const std::filesystem::path& file, int runs,
            const char* label) {
  Run best{1e9, 0};
  for (int i = 0; i < runs; ++i) {
    const Run r = StartOnce(dir, file);
    std::printf("%s run %d: CPU %.3f s, peak %.1f MiB\n", label, i + 1, r.cpuSeconds,
                r.peakKiB / 1024.0);
    best.cpuSeconds = std::min(best.cpuSeconds, r.cpuSeconds);
    best.peakKiB = std::max(best.peakKiB, r.peakKiB);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s EXAMPLE-FILE [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  memro::testing::TempDir dir;
  std::filesystem::create_directories(dir / "temp");
  const auto example = dir / "example.mmo";
  std::filesystem::copy_file(argv[1], example);
  const auto full = dir / "events.mmo";
  memro::bench::WriteBenchFileApart(full);
  const Run small = Measure(dir.path(), example, runs, "example");
  const Run large = Measure(dir.path(), full, runs, "32766");
  std::printf(
      "window start, 32766 events: CPU %.3f s, peak %.1f MiB; example file: CPU %.3f s, "
      "peak %.1f MiB\n",
      large.cpuSeconds, large.peakKiB / 1024.0, small.cpuSeconds, small.peakKiB / 1024.0);
  return 0;
}
