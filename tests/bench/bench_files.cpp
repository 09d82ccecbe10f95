#include "bench_files.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/event_files.h"

namespace memro::bench {

Date BenchToday() {
  return Date{std::chrono::year{2026}, std::chrono::December, std::chrono::day{8}};
}

void WriteBenchFile(const std::filesystem::path& file, int events, bool allDue) {
  const std::int64_t jan1 =
      DayNumber(Date{std::chrono::year{2001}, std::chrono::January, std::chrono::day{1}});
  const Date today = BenchToday();
  std::vector<EventRecord> records;
  records.reserve(static_cast<std::size_t>(events));
  for (int i = 0; i < events; ++i) {
    Date date = FromDayNumber(jan1 + (i * 37) % 365);
    if (date.month() == today.month() && date.day() == today.day()) date = FromDayNumber(jan1);
    records.push_back(testing::Event(FormatStored(date), "Birthday number " + std::to_string(i),
                                     kYearly, allDue ? 366 : 0, 0));
  }
  testing::WriteEventFile(file, records);
}

void WriteBenchFileApart(const std::filesystem::path& file) {
  const pid_t child = ::fork();
  if (child == 0) {
    WriteBenchFile(file, 32766, true);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "could not write %s\n", file.c_str());
    std::exit(1);
  }
}

}  // namespace memro::bench
