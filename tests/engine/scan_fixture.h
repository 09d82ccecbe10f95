#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/calendar.h"
#include "data/env_guard.h"
#include "data/event_record.h"
#include "data/work_file.h"
#include "engine/scan.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro::testing {

// Records what the scan shows in the main window.
class RecordingView : public ScanView {
 public:
  void SetCaption(const std::string& c) override { captions.push_back(c); }
  void SetDateLabel(const std::string& l) override { dateLabel = l; }
  void ClearDueDisplay() override { lines.clear(); }
  void AddLine(const std::string& line) override { lines.push_back(line); }
  void Alert() override { ++alerts; }
  void SelectLine(std::int64_t i) override { selected = i; }
  void EnableDueCommands() override { enabled = true; }

  std::vector<std::string> captions;
  std::string dateLabel;
  std::vector<std::string> lines;
  int alerts = 0;
  std::int64_t selected = -1;
  bool enabled = false;
};

class ScanTest : public ::testing::Test {
 protected:
  void SetToday(int y, unsigned m, unsigned d) {
    platform.today = Date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
  }

  ScanResult Scan(const std::vector<EventRecord>& events) {
    WriteEventFile(file, events);
    return Rescan();
  }

  ScanResult Rescan() {
    view = RecordingView();
    return LoadEventFile(platform, file.string(), dueList->file(), settings, view);
  }

  std::vector<DueEntry> Entries(const ScanResult& r) {
    std::vector<DueEntry> out;
    std::string bytes;
    for (std::int64_t n = 1; n <= r.loadedCount; ++n) {
      dueList->file().Read(n, bytes);
      out.push_back(DueEntry::FromBytes(bytes));
    }
    return out;
  }

  TempDir dir;
  RuntimeDirGuard runtime{dir / "run"};  // the writer locks
  FakePlatform platform{dir.path()};
  std::filesystem::path file = dir / "events.mmo";
  std::unique_ptr<WorkFile> dueList = CreateWorkFile(platform, true);
  ScanSettings settings;
  RecordingView view;
};

}  // namespace memro::testing
