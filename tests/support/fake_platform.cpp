#include "support/fake_platform.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace memro::testing {

FakePlatform::FakePlatform(const std::filesystem::path& home)
    : programDir(home / "home"), tempDir(home / "temp"), protectionDir(home / "home") {
  std::filesystem::create_directories(programDir);
  std::filesystem::create_directories(tempDir);
}

Answer FakePlatform::MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                                const std::string& title) {
  messages.push_back({prompt, icon, buttons, title});
  if (onMessage) onMessage(messages.back());
  if (!answers.empty()) {
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return buttons == Buttons::kOk ? Answer::kOk : Answer::kNo;
}

void FakePlatform::Pause(std::chrono::milliseconds duration) {
  ++pauses;
  busyDepthInPause = busyDepth;
  Platform::Pause(duration);
}

std::string FakePlatform::InputBox(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) {
  inputPrompts.push_back(prompt);
  inputTitles.push_back(title);
  if (inputs.empty()) return defaultText;
  std::string s = inputs.front();
  inputs.pop_front();
  return s;
}

FileDialogResult FakePlatform::OpenFileDialog(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileDialogs.empty()) return {};
  auto r = fileDialogs.front();
  fileDialogs.pop_front();
  return r;
}

FileDialogResult FakePlatform::SaveFileDialog(const FileDialogRequest& request) {
  return OpenFileDialog(request);
}

FontResult FakePlatform::FontDialog(const FontRequest& request) {
  fontRequests.push_back(request);
  if (fontDialogs.empty()) return {};
  auto r = fontDialogs.front();
  fontDialogs.pop_front();
  return r;
}

std::string FakePlatform::SetStartAtLogin(bool on) {
  startAtLoginRequests.push_back(on);
  if (startAtLoginError.empty()) startsAtLogin = on;
  return startAtLoginError;
}

void FakePlatform::SetBusy(bool busy) {
  busyDepth += busy ? 1 : -1;
  if (busyDepth > maxBusyDepth) maxBusyDepth = busyDepth;
}

TempDir::TempDir() {
  // Not temp_directory_path(): tests point TEMP at directories of their own.
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      (std::filesystem::path(base && *base ? base : "/tmp") / "memro-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> NamesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace memro::testing
