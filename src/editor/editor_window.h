#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/event_record.h"
#include "data/file_state.h"
#include "data/recovery_note.h"
#include "data/work_file.h"
#include "editor/editor_host.h"
#include "editor/editor_state.h"
#include "editor/editor_widgets.h"
#include "platform/platform.h"

namespace memro {

// The event editor: one event of a file at a time in a set of fields, with the
// commands that move between events, change, add, delete and find them, and open
// and save event files.
class EditorWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The window's design size, in twips.
  static constexpr int kDesignWidth = 7200;
  static constexpr int kDesignHeight = 5760;
  // The warn-days scroll bar's usual range is 0 to this, moved a week a page.
  static constexpr int kWarnMaximum = 365;
  static constexpr int kWarnPage = 7;

  EditorWindow(Platform& platform, EditorHost& host, QWidget* parent = nullptr);
  ~EditorWindow() override;

  // Creates the record store and opens the main window's file. False when the store
  // could not be made (the user has been told); the window must then go away.
  bool Start();

  // Menu commands by item number, as the menus, buttons and pop-up menu run them.
  void FileCommand(int index);
  void RecordsCommand(int index);
  void HelpCommand(int index);
  void PopupCommand(int index);
  void ButtonCommand(int index);

  // The program ends by a signal and nobody can be asked: unsaved changes, the shown
  // record's unstored fields included, are kept as a recovery for the next open.
  void KeepForRecovery();

  bool ShowRecord(int position);
  StoreResult StoreCurrentRecord();
  void UpdateRecordCaption();
  void ShowHelpHint();

  EditorState& state() { return s_; }
  const EditorWidgets& widgets() const { return w_; }
  RecordFile* store() { return store_ ? &store_->file() : nullptr; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildButtons(QWidget* central);
  void BuildMenus();
  void BuildFileMenu();
  void BuildRecordsMenu();
  void BuildHelpMenu();
  void BuildPopup();
  void WatchPointer();
  void ConnectChanges();
  // Every message box of the editor: a press of the position bar ends first.
  Answer Box(const std::string& prompt, Icon icon, Buttons buttons, const std::string& title);

  // Field reactions.
  void PositionChanged(int value);
  void WarnChanged(int value);
  void ActivationChanged(int index);
  void TextChanged();
  void LimitMessage();
  void Update();
  void PutDefaultsInFields();
  void SetWarnDays(int days);
  void ClearFields();
  void SetPosition(int value);
  void SetPositionQuietly(int value, int maximum);
  void SetRecordsMenu(bool enabled);
  void SelectDate();
  QString MessageText() const;

  // File menu.
  enum class SaveOutcome { kSaved, kNothingToSave, kNotSaved };
  struct ChangeMarks {
    bool fileChanged = false;
    bool recModified = false;
  };
  bool HasRecordToStore() const;
  bool CommonStart(int index, ChangeMarks& before);
  bool CommonStart(int index);
  Answer AskSaveChanges();
  void New();
  void Open(int index, const ChangeMarks& before);
  bool ChooseOpenPath(int index);
  bool OpenChosen();
  bool LoadForEditing();
  void KnowFile(const std::optional<FileState>& state,
                std::optional<std::uint64_t> digest = std::nullopt);
  void KnowFileSince(const std::optional<FileState>& seen);
  bool ChangedOnDisk() const;
  void EmptyAfterFailedOpen();
  void ShowEmptyFile();
  void ShowEditTarget();
  SaveOutcome Save(bool askName);
  enum class WriteResult { kWritten, kFailed, kChangedMeanwhile };
  WriteResult WriteFile();
  void SetAsDefault();
  bool CloseSequence();
  void AddRecentFile(const std::string& path);
  void ShowRecentFiles();
  void TitleWithFile();
  void KeepPlace();

  // iCalendar import and export (File menu).
  bool StoreBeforeCalendar();
  void ImportCalendar();
  bool AppendToStore(const std::vector<EventRecord>& events);
  void ExportCalendar();

  // Recovery of changes kept when the program was ended by a signal.
  RecoveryFields FieldsNow() const;
  void PutInFields(const RecoveryFields& fields);
  void OfferRecoveryFor(const std::string& file);
  void OfferRecovery(const Recovery& recovery);
  bool Restore(const Recovery& recovery);
  void OfferWaitingRecovery();

  // Records menu.
  void NewRecord();
  void DuplicateRecord();
  void DeleteRecord();
  bool RoomForAnother();
  bool CopyRecordsDown();
  bool CopyRecord(int from, int to);
  void RecordTail();
  void Find(bool ask);
  bool SearchShownRecord(const QString& needle);
  bool SearchOtherRecords(const QString& needle, bool& stopped);
  bool SearchFields(const QString& needle);
  bool Visit(int position);
  void SelectInMessage(int at, int length);

  Platform& platform_;
  EditorHost& host_;
  EditorState s_;
  EditorWidgets w_;
  std::unique_ptr<WorkFile> store_;
  std::int16_t shownFrequency_ = 0;  // kept when the list cannot show it
  // The shown record's message as stored and as the field first held it; while the
  // field holds that text, storing writes the stored bytes.
  struct ShownMessageBytes {
    std::string bytes;
    QString asShown;
  };
  std::optional<ShownMessageBytes> shownMessage_;
  bool showingStored_ = false;
  std::string knownFile_;  // the file as read or written here, its state and bytes then
  std::optional<FileState> knownState_;
  std::optional<std::uint64_t> knownDigest_;
  bool ending_ = false;  // the changes were kept for recovery: nobody is asked any more
  bool closed_ = false;
};

}  // namespace memro
