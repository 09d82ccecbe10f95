#include "platform/qt/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <filesystem>

namespace memro {
namespace {

QString CleanPatterns(const std::string& patterns) {
  QStringList out;
  for (const QString& mask : QString::fromStdString(patterns).split(' ', Qt::SkipEmptyParts)) {
    out << (mask == "*.*" ? QStringLiteral("*") : mask);
  }
  return out.join(' ');
}

QString CleanDescription(const std::string& description) {
  QString text = QString::fromStdString(description).trimmed();
  // Qt reads the patterns out of the last parentheses; drop ones already there.
  if (text.endsWith(')')) {
    const qsizetype open = text.lastIndexOf('(');
    if (open >= 0) text = text.left(open).trimmed();
  }
  return text;
}

}  // namespace

QString ToQtFilter(const std::string& filter) {
  QStringList entries;
  std::size_t start = 0;
  while (start < filter.size()) {
    const std::size_t bar = filter.find('|', start);
    const std::string description =
        filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    std::string patterns;
    start = filter.size();
    if (bar != std::string::npos) {
      const std::size_t next = filter.find('|', bar + 1);
      patterns =
          filter.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
      if (next != std::string::npos) start = next + 1;
    }
    const QString masks = CleanPatterns(patterns.empty() ? "*" : patterns);
    entries << QStringLiteral("%1 (%2)").arg(CleanDescription(description), masks);
  }
  return entries.join(QStringLiteral(";;"));
}

std::string ApplyDefaultExtension(const std::string& path, const std::string& extension) {
  if (path.empty() || extension.empty()) return path;
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  std::string lower = extension;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return path + "." + lower;
}

std::string NameToOpen(const std::string& path, const std::string& extension) {
  std::error_code error;
  if (path.empty() || std::filesystem::exists(path, error)) return path;
  return ApplyDefaultExtension(path, extension);
}

FileDialogResult CheckChosenPath(const std::string& path, const FileDialogRequest& request) {
  namespace fs = std::filesystem;
  const FileDialogResult failed{FileDialogResult::Outcome::kFailed, {}};
  if (path.empty()) return failed;
  std::error_code error;
  const fs::path chosen(path);
  if (request.pathMustExist || request.fileMustExist) {
    const fs::path parent = chosen.parent_path().empty() ? fs::path(".") : chosen.parent_path();
    if (!fs::is_directory(parent, error)) return failed;
  }
  if (request.fileMustExist && !fs::is_regular_file(chosen, error)) return failed;
  if (fs::is_directory(chosen, error)) return failed;
  return {FileDialogResult::Outcome::kChosen, path};
}

namespace {

// Qt adds the default suffix to every name without a dot, so an existing "events" would
// open as "events.mmo". This dialog settles the name itself before Qt checks it.
class OpenDialog : public QFileDialog {
 public:
  OpenDialog(QWidget* parent, const QString& title, std::string extension)
      : QFileDialog(parent, title), extension_(std::move(extension)) {}

  void accept() override {
    const QStringList files = selectedFiles();
    if (files.size() == 1) {
      const std::string chosen = files.first().toStdString();
      const std::string name = NameToOpen(chosen, extension_);
      if (name != chosen) selectFile(QString::fromStdString(name));
    }
    QFileDialog::accept();
  }

 private:
  std::string extension_;
};

}  // namespace

std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest& request, FileDialogMode mode,
                                             QWidget* parent) {
  const QString title = QString::fromStdString(request.title);
  std::unique_ptr<QFileDialog> dialog;
  if (mode == FileDialogMode::kOpen) {
    dialog = std::make_unique<OpenDialog>(parent, title, request.defaultExtension);
  } else {
    dialog = std::make_unique<QFileDialog>(parent, title);
  }
  // Qt's own dialog: it behaves the same on every desktop and offscreen.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setNameFilters(ToQtFilter(request.filter).split(QStringLiteral(";;")));
  dialog->setAcceptMode(mode == FileDialogMode::kOpen ? QFileDialog::AcceptOpen
                                                      : QFileDialog::AcceptSave);
  dialog->setFileMode(mode == FileDialogMode::kOpen && request.fileMustExist
                          ? QFileDialog::ExistingFile
                          : QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  const std::string extension = ApplyDefaultExtension("x", request.defaultExtension);
  if (mode == FileDialogMode::kSave && extension.size() > 2) {
    dialog->setDefaultSuffix(QString::fromStdString(extension.substr(2)));
  }

  const std::filesystem::path initial(request.initialName);
  std::error_code error;
  if (!request.initialName.empty()) {
    if (initial.has_parent_path() && std::filesystem::is_directory(initial.parent_path(), error)) {
      dialog->setDirectory(QString::fromStdString(initial.parent_path().string()));
    }
    dialog->selectFile(QString::fromStdString(initial.filename().string()));
  }
  return dialog;
}

FileDialogResult RunFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  if (dialog.exec() != QDialog::Accepted) return {FileDialogResult::Outcome::kCancelled, {}};
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return {FileDialogResult::Outcome::kFailed, {}};
  const std::string chosen = files.first().toStdString();
  const std::string path = dialog.acceptMode() == QFileDialog::AcceptOpen
                               ? NameToOpen(chosen, request.defaultExtension)
                               : ApplyDefaultExtension(chosen, request.defaultExtension);
  return CheckChosenPath(path, request);
}

}  // namespace memro
