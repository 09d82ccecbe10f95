// The File menu: load, range scanning, the report, the editor and exit.
#include <QGuiApplication>
#include <QScreen>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "data/fixed_texts.h"
#include "data/holds_events.h"
#include "data/same_file.h"
#include "data/text_util.h"
#include "engine/report.h"
#include "platform/qt/twips.h"
#include "settings/recent_files.h"

namespace memro {
namespace {

std::string WithoutDirectory(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void MainWindow::FileCommand(int index) {
  StopTimeOut();
  switch (index) {
    case 0:
    case 7:
    case 8:
    case 9:
    case 10:
      Load(index);
      break;
    case 1:
      PrintToFile();
      break;
    case 2:
      OpenEditor();
      break;
    case 4:
      Range();
      break;
    case 12:
      Exit();
      break;
    default:
      break;
  }
}

// File > Load as its menu command runs it; true when a file was scanned.
bool MainWindow::LoadCommand() {
  StopTimeOut();
  return Load(0);
}

bool MainWindow::Load(int index) {
  const std::string old = values_.pendingFile;
  clk_.stop();
  std::string& pending = values_.pendingFile;
  if (index == 0 && !pending.starts_with('+')) {
    FileDialogRequest request;
    request.title = "Load";
    request.initialName = pending;
    request.filter = Texts().eventFileFilter;
    request.defaultExtension = "MMO";
    request.fileMustExist = request.pathMustExist = request.hideReadOnly = true;
    const FileDialogResult chosen = platform_.OpenFileDialog(request);
    if (chosen.outcome != FileDialogResult::Outcome::kChosen) return false;
    pending = chosen.path;
  } else if (index == 0) {
    pending.erase(0, 1);
  } else {
    pending = PathOfRecentCaption(w_.miF[index]->text().toStdString());
  }
  const std::string title = WithoutDirectory(pending);
  // A load the user asks for switches range scanning off; a reload keeps it.
  if (!old.starts_with('+')) values_.rangeDays.clear();
  if (RunScan(pending) < 1) {
    pending = old.starts_with('+') ? old.substr(1) : old;
    setWindowTitle(Q(Texts().productTitle));
    return false;
  }
  setWindowTitle(Q(title + " [" + Texts().productTitle + "]"));
  if (!ShowDueEntries()) return true;
  AddRecentFile(pending);
  return true;
}

// After a scan that ran to its end: blink and show the selected entry when any is due.
bool MainWindow::ShowDueEntries() {
  if (values_.dueCount <= 0) return true;
  StartBlinking();
  w_.lbl[3]->setAutoFillBackground(true);
  return ShowEntry(w_.lst->currentRow() + 1);
}

void MainWindow::Range() {
  const std::string answer = platform_.InputBox(
      "Enter number of days from today to scan for:\nEnter zero or click on Cancel to disable "
      "scanning.",
      "Range", "30");
  if (NumericValue(answer) <= 0) {
    // Nothing was loaded yet: there is no file to reload, only the range to forget.
    if (values_.settings.mainRecent[0].empty()) {
      values_.rangeDays.clear();
      return;
    }
    Load(7);
    return;
  }
  values_.rangeDays = TrimBlanks(answer);
  if (RunScan(values_.pendingFile) < 1) {
    setWindowTitle(Q(Texts().productTitle));
    return;
  }
  setWindowTitle(Q(WithoutDirectory(values_.pendingFile) + " [" + Texts().productTitle + "]"));
  ShowDueEntries();
}

void MainWindow::PrintToFile() {
  FileDialogRequest request;
  request.title = "Print to File";
  request.initialName = "REPORT.TXT";
  request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
  request.defaultExtension = "TXT";
  request.pathMustExist = request.hideReadOnly = request.confirmOverwrite = true;
  const FileDialogResult chosen = platform_.SaveFileDialog(request);
  if (chosen.outcome != FileDialogResult::Outcome::kChosen || !dueList_) return;
  if (HoldsEvents(chosen.path)) {
    platform_.MessageBox("The report would replace the events in " + chosen.path +
                             ". Please choose another name for the report.",
                         Icon::kExclamation, Buttons::kOk, "");
    return;
  }

  const QString caption = windowTitle();
  setWindowTitle(Q("Printing To " + chosen.path + "..."));
  const int selected = w_.lst->currentRow();
  std::string failure;
  {
    BusyPointer busy(platform_);
    std::ofstream out(chosen.path, std::ios::binary | std::ios::trunc);
    try {
      if (out) {
        WriteReport(out, dueList_->file(), values_.dueCount, platform_.Today(),
                    !values_.rangeDays.empty());
      }
      out.close();
      if (!out) failure = ErrorText(errno);
    } catch (const FileError& e) {
      failure = e.description();
    }
  }
  setWindowTitle(caption);
  if (selected >= 0) SelectLine(selected);
  if (!failure.empty()) {
    platform_.MessageBox(failure + " while writing " + chosen.path, Icon::kCritical, Buttons::kOk,
                         "");
  }
}

// True when path is the loaded event file or the editor's, by name, link or inode, or
// any other file that holds events.
bool MainWindow::HoldsEvents(const std::string& path) const {
  if (FileHoldsEvents(path)) return true;
  std::vector<std::string> eventFiles{CurrentFile()};
  if (editor_) eventFiles.push_back(editor_->state().fileName);
  for (std::string file : eventFiles) {
    if (file.starts_with('+')) file.erase(0, 1);
    if (!file.empty() && SameFile(path, file)) return true;
  }
  return false;
}

// The editor goes where it was last, by default in the middle of the screen. An editor
// that is open already comes to the front.
void MainWindow::OpenEditor() {
  // An open editor is the user at work, whoever opened it (the start-up, for a recovery).
  tmr_.stop();
  if (editor_) {
    editor_->showNormal();
    editor_->raise();
    editor_->activateWindow();
    return;
  }
  BusyPointer busy(platform_);
  auto* editor = new EditorWindow(platform_, *this);
  editor->setAttribute(Qt::WA_DeleteOnClose);
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const WindowPlace place =
      ReadEditorPlace(SettingsFilePath(platform_),
                      Extent{static_cast<std::int32_t>(ToTwips(*this, screen.width())),
                             static_cast<std::int32_t>(ToTwips(*this, screen.height()))},
                      Extent{EditorWindow::kDesignWidth, EditorWindow::kDesignHeight});
  editor->move(ToPixels(*editor, place.left), ToPixels(*editor, place.top));
  editor_ = editor;
  if (!editor->Start()) {
    delete editor;
    return;
  }
  editor->show();
}

std::string MainWindow::CurrentFile() const {
  const std::string& file = values_.pendingFile;
  return file.starts_with('+') ? file.substr(1) : file;
}

// The editor outlives the main window when the user exits with the editor still open;
// then the editor is the last window and the settings are written as it goes.
// Visible stays as the main window's own close wrote it, so that the next start shows the
// window that was shown last.
void MainWindow::EditorClosed() {
  if (closed_) {
    SaveSettings(values_.settings, false,
                 SaveContext{platform_, visibleAtClose_, values_.password});
  }
}

void MainWindow::Exit() {
  if (viewer_) viewer_->CloseQuietly();
  close();
}

void MainWindow::AddRecentFile(const std::string& path) {
  const int n = memro::AddRecentFile(values_.settings.mainRecent, path);
  if (n > 0) w_.miF[11]->setVisible(true);
  for (int i = 1; i <= n; ++i) {
    w_.miF[6 + i]->setText(Q(RecentCaption(i, values_.settings.mainRecent[i - 1])));
    w_.miF[6 + i]->setVisible(true);
  }
}

}  // namespace memro
