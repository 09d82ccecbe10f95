#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_host.h"
#include "editor/editor_window.h"
#include "settings/settings.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro::testing {

// The main window as the editor sees it.
class FakeEditorHost : public EditorHost {
 public:
  Settings& ProgramSettings() override { return settings; }
  std::string CurrentFile() const override { return currentFile; }
  int DueCount() const override { return dueCount; }
  std::string EditTarget() const override { return editTarget; }
  void ShowAboutOver(QWidget*) override { ++aboutShown; }
  void EditorClosed() override { ++closed; }
  void FileSaved(const std::string& path) override { saved.push_back(path); }

  Settings settings = [] {
    Settings s;
    s.defaults = RecordDefaults{kYearly, 1, 1, 7, 0};
    return s;
  }();
  std::string currentFile;
  int dueCount = 0;
  std::string editTarget;
  int aboutShown = 0;
  int closed = 0;
  std::vector<std::string> saved;  // told to the main window, which syncs them
};

// An editor on a scripted platform, with its files in a directory of its own.
class EditorTest : public ::testing::Test {
 protected:
  // The editor as it opens from a main window that loaded currentFile.
  EditorWindow& Make(const std::filesystem::path& currentFile = {}) {
    host.currentFile = currentFile.string();
    editor = std::make_unique<EditorWindow>(platform, host);
    EXPECT_TRUE(editor->Start());
    editor->show();
    return *editor;
  }

  // An editor holding a file of n events dated Jan 1 to Jan n, 2027 ("event i").
  EditorWindow& WithEvents(int n, const std::string& name = "events.mmo") {
    std::vector<EventRecord> events;
    for (int i = 1; i <= n; ++i) {
      events.push_back(MakeEvent("Jan" + Two(i) + "2027", "event " + std::to_string(i)));
    }
    WriteEventFile(dir / name, events);
    return Make(dir / name);
  }

  // Appended: GCC 12 at -O3 falsely reports -Wrestrict for "0" + std::to_string(n).
  static std::string Two(int n) {
    std::string text = n < 10 ? "0" : "";
    return text.append(std::to_string(n));
  }

  // Rewritten through a copy renamed over it, as the main window's scan rewrites it.
  void RewriteByRename(const std::filesystem::path& file, const std::string& bytes) {
    WriteFileBytes(dir / "rewrite~", bytes);
    std::filesystem::rename(dir / "rewrite~", file);
  }

  const EditorWidgets& ui() { return editor->widgets(); }
  std::string Date() { return ui().date->text().toStdString(); }
  std::string Message() { return ui().message->toPlainText().toStdString(); }
  std::string Caption() { return ui().lbl[3]->text().toStdString(); }
  std::string Title() { return editor->windowTitle().toStdString(); }
  void Type(const std::string& date, const std::string& message) {
    ui().date->setText(QString::fromStdString(date));
    ui().message->setPlainText(QString::fromStdString(message));
  }
  void Scroll(int position) { ui().hPos->setValue(position); }

  // The prompts of every message shown so far, then forgotten.
  std::vector<std::string> Shown() {
    std::vector<std::string> prompts;
    for (const auto& m : platform.messages) prompts.push_back(m.prompt);
    platform.messages.clear();
    return prompts;
  }

  EventRecord Stored(int position) {
    std::string bytes;
    editor->store()->Read(position + 1, bytes);
    bytes.resize(kRecordSize, '\0');
    return EventRecord::FromBytes(bytes);
  }

  FileDialogResult Chosen(const std::filesystem::path& path) {
    return {FileDialogResult::Outcome::kChosen, path.string()};
  }
  static FileDialogResult Cancelled() { return {FileDialogResult::Outcome::kCancelled, ""}; }

  TempDir dir;
  FakePlatform platform{dir.path()};
  FakeEditorHost host;
  std::unique_ptr<EditorWindow> editor;
};

}  // namespace memro::testing
