#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/gui/main_values.h"
#include "app/gui/main_widgets.h"
#include "app/gui/viewer_host.h"
#include "app/gui/viewer_window.h"
#include "app/gui/window_frame.h"
#include "data/calendar.h"
#include "data/work_file.h"
#include "data/writer_lock.h"
#include "editor/editor_host.h"
#include "editor/editor_window.h"
#include "platform/platform.h"
#include "platform/qt/design_scale.h"
#include "platform/qt/qt_text.h"

class QLockFile;
class QWindow;
class QSessionManager;

namespace memro {

class SyncRunner;
namespace sync {
class PasswordStore;
struct SyncOrder;
struct SyncOutcome;
}  // namespace sync

// What the program's surroundings give the main window; tests replace each of them.
struct MainWindowHooks {
  std::function<void()> endAtOnce;  // ends the program, exit status 0 (time-out, signal)
  std::function<bool()> shiftHeld;  // Shift held while the window closes
  std::string lockDirectory;        // where the single-copy lock lives; empty: none
  // An editor ended by a signal left unsaved changes; unset: asks the editor's recovery.
  std::function<bool()> recoveryWaiting;
  // Frames and places of the windows; the default is Qt's view, with positions.
  WindowSystem windowSystem;
  // How long a scan's rewrite waits for another program's writer lock.
  std::chrono::milliseconds lockWait = WriterLock::kDefaultWait;
  // Runs the syncs of the listed file; null: the window does not sync.
  std::shared_ptr<SyncRunner> syncRunner;
  // The desktop's keyring for the sync passwords; null: none, they last for this run.
  std::shared_ptr<sync::PasswordStore> passwords;
};

// The program's main window: today's date, the due list, the blinking status of the
// selected entry, its message, and the menus that drive them.
class MainWindow : public QMainWindow, public ViewerHost, public EditorHost {
  Q_OBJECT

 public:
  // The window's design size, in twips.
  static constexpr int kDesignWidth = 6600;
  static constexpr int kDesignHeight = 3960;

  enum class Start { kRunning, kEnded };

  MainWindow(Platform& platform, MainWindowHooks hooks, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The whole start-up; kEnded when this start must not run (another copy, once daily,
  // no work file). commandLine is the program's one argument.
  Start StartUp(const std::string& commandLine);

  // Menu commands by item number, as the menus, buttons and pop-up menu run them.
  void FileCommand(int index);
  void OptionsCommand(int index);
  void SoundCommand(int index);
  void SetupCommand(int index);
  void HelpCommand(int index);
  void PopupCommand(int index);
  void ButtonCommand(int index);

  // Shows due entry `number` (from 1) in the status label and message box.
  bool ShowEntry(int number);
  // What a screen reader says of due line `row` (from 0): the line, the status and the
  // start of the message, so that two entries of one day differ.
  QString DueDescription(int row);
  void ListClicked();
  void StopTimeOut() override;
  // The user clicked or typed in any window of the program, a question's box included.
  void Touched();
  void ShowViewer();
  void SoundRequest();
  void ApplyLock();
  void ChangedFileCheck();
  // Focus moved to another window (null: to another program).
  void FocusMoved(QWindow* now);
  // The date watch: on a new day the date label, LastCheck and the due list follow it.
  void DateCheck();
  // The default action of the due notification: the program's view comes to the front.
  void BringViewToFront();
  // A later start or the desktop asks for the program: its view comes to the front (with
  // the launcher's activation token, where given) and loads `file`, when given, as File >
  // Load does.
  void OpenFromOutside(const std::string& file, const std::string& activationToken);
  void BlinkTick();
  void TimeOutTick();
  void LayOut();
  // The session is ending; false when the close was refused.
  bool SessionEnding();
  // A signal (SIGTERM, SIGHUP, SIGINT) ends the program: as the session's end, but
  // nothing may refuse and nobody is asked. Open dialogs are answered as by Escape; the
  // end itself waits until their event loops and the start-up have unwound.
  void EndBySignal();

  // How much the design grows at the desktop's font (1: not at all).
  double designScale() const { return scale_; }
  MainValues& values() { return values_; }
  const MainWidgets& widgets() const { return w_; }
  QTimer& blinkTimer() { return clk_; }
  QTimer& timeOutTimer() { return tmr_; }
  ViewerWindow* viewer() const { return viewer_; }
  RecordFile* dueList() { return dueList_ ? &dueList_->file() : nullptr; }
  EditorWindow* editor() const { return editor_; }

  // ViewerHost
  QString DateLabelText() const override;
  int DueLineCount() const override;
  int SelectedLine() const override;
  void SelectLine(int index) override;
  QString StatusText() const override;
  QString MessageText() const override;
  QFont MessageFont() const override;
  QColor MessageColor() const override;
  void ShowAbout() override;
  void ShowViewerHelp() override;
  void RememberPlace(const QRect& frame) override;
  void ShowMainAt(const QRect& frame) override;
  void ExitFromViewer(const QRect& frame) override;
  bool RefuseSessionClose() override;

  // EditorHost
  Settings& ProgramSettings() override { return values_.settings; }
  std::string CurrentFile() const override;
  int DueCount() const override { return values_.dueCount; }
  std::string EditTarget() const override { return values_.editTarget; }
  void ShowAboutOver(QWidget* parent) override;
  void EditorClosed() override;
  void FileSaved(const std::string& path) override;

  // Syncs the listed file with its calendar, when it has a sync setup.
  void SyncFile(bool allowDeletes = false);
  QTimer& syncTimer() { return syncTimer_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class MainWindowTestAccess;
  void BuildControls();
  std::vector<DesignedControl> DesignNeeds() const;
  int Px(double twips) const;  // a size of the design, grown by the scale
  std::int32_t DesignSize(int pixels, std::int32_t stored, int smallest) const;
  void BuildMenus();
  void BuildFileMenu();
  void BuildOptionsMenu();
  void BuildSetupHelpMenus();
  void BuildPopup();
  void WatchForTouches();

  bool AnotherCopyRunning();
  void ReadStartSettings();
  void ApplyFont();
  enum class OnceDaily { kEnd, kRun, kRecord };
  OnceDaily OnceDailyRule(const std::string& commandLine) const;
  void RecordStart();
  void PlaceFromSettings();
  enum class FirstLoad { kNothing, kShown, kFailed };
  FirstLoad ChooseFileToLoad(const std::string& commandLine);
  void FirstView();
  Start StartUpSteps(const std::string& commandLine);
  void OpenEditorForRecovery();

  bool LoadCommand();
  void LoadFromOutside(const std::string& file);
  bool Load(int index);
  bool MayReloadNow() const;
  void NotifyDue();
  int RunScan(const std::string& fileName);
  bool ShowDueEntries();
  void Range();
  void PrintToFile();
  bool HoldsEvents(const std::string& path) const;
  void OpenEditor();
  void Exit();
  void AddRecentFile(const std::string& path);

  void ChooseAutoLoad();
  void StartAtLogin();
  void ChooseFont();
  void Protection();
  void SetSoundMarks(int mode);
  void ChooseSoundFile();
  void ExitTimeOut();
  void SaveSettingsNow();
  void RememberOwnPlace();
  void CopyPlaceToSettings(const QRect& frame);
  void ShowHelpFor(int context);
  int HelpContextOfMenu(QObject* menu) const;
  void StartBlinking();
  void PutAt(const QRect& frame);
  void DeleteDueList();
  bool InProgress() const;

  void StartSyncing();
  void SetUpSync();
  void StartSync(sync::SyncOrder order);
  void SyncEnded(const sync::SyncOrder& order, const sync::SyncOutcome& outcome);
  void SetUpEnded(const sync::SyncOrder& order, const sync::SyncOutcome& outcome);
  void SyncStopped(const sync::SyncOrder& order, const sync::SyncOutcome& outcome);
  void SyncFailed(const std::string& file, const std::string& said);
  void ReloadAfterSync(const std::string& file);

  Platform& platform_;
  MainWindowHooks hooks_;
  MainValues values_;
  MainWidgets w_;
  double scale_ = 1.0;
  QTimer clk_;
  QTimer tmr_;
  std::unique_ptr<WorkFile> dueList_;
  std::unique_ptr<QLockFile> lock_;
  OuterSize* place_ = nullptr;  // owned by the window
  QPointer<ViewerWindow> viewer_;
  QPointer<EditorWindow> editor_;
  bool closed_ = false;         // the window has gone; the editor may still be open
  bool visibleAtClose_ = true;  // the main window, not the viewer, was shown as it closed
  bool sessionEnding_ = false;
  bool startingUp_ = false;
  bool scanning_ = false;
  bool keepTimeOut_ = false;  // a reload the user did not ask for leaves the time-out running
  Date day_;                  // the day the date label and LastCheck were last set for
  bool signalled_ = false;    // a signal asked for the end
  bool signalEnded_ = false;  // and the end has run
  bool signalRetry_ = false;  // the end waits for a dialog's event loop to unwind
  bool exitFromViewer_ = false;
  bool cameBack_ = false;
  bool laying_out_ = false;

  QTimer syncTimer_;
  std::shared_ptr<sync::PasswordStore> runPasswords_;  // given at a setup of this run
  bool syncing_ = false;
  std::unique_ptr<sync::SyncOrder> nextSync_;  // asked for while a sync ran
  bool syncFailureSaid_ = false;               // said once, until a sync works again
  bool deletesDeclined_ = false;               // the user said No to a sync's deletes this run
};

}  // namespace memro
