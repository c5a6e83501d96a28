#pragma once
// The editor's window: the event tree, the selected event's code lines, and the parts
// palette below. Its controls come from the template table; pointer and list keys reach it
// through the event router, and it maps them onto the drag controller, the line edits, the
// edit history and the save and cancel decisions.
#include <QDialog>
#include <QPoint>
#include <array>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "drag_session.h"
#include "edit_history.h"
#include "platform/messenger.h"
#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program.h"

class QAction;
class QComboBox;
class QItemSelection;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace platform {
class MessageBoxMessenger;
}

namespace velk7 {

class EventRouter;

inline constexpr std::string_view kDialogTitle = "VELK7 - Simple RCODE Customization";
inline constexpr std::string_view kNoEventPlaceholder =
    "select AIBO event  (cannot drag parts here)";
inline constexpr std::string_view kEmptyEventPlaceholder =
    "empty   (drag parts from below to here)";

// End results of the dialog.
inline constexpr int kSavedResult = 1004;
inline constexpr int kCancelledResult = 2;
// A backup was put back on the stick: the program is to be opened anew.
inline constexpr int kRestoredResult = 3;

// The message boxes of velk7: captioned "VELK7", each with the exclamation icon; Enter
// answers the abandon question with No, which keeps the edits.
std::unique_ptr<platform::MessageBoxMessenger> makeEditorMessenger();

class EditorDialog : public QDialog {
  Q_OBJECT

 public:
  EditorDialog(RcodeProgram& program, std::filesystem::path programPath,
               platform::Messenger& messenger, QWidget* parent = nullptr);
  ~EditorDialog() override;

  // Where a save first copies the program, and "Restore a backup..." looks; none when empty.
  void setBackupsFolder(std::filesystem::path folder) { backupsFolder_ = std::move(folder); }
  // Lists the stick's backups, puts the chosen one back, and ends with kRestoredResult.
  void restoreBackup();

  // The record of the selected tree item, or -1 for none or a group.
  int selectedEvent() const;
  void showEventCode(int recordIndex);
  void setDescription(std::string_view text);
  // An edit was made since the dialog opened (undone or not).
  bool changed() const { return changed_; }
  // Some record's lines differ from those loaded from the file.
  bool differsFromFile() const;
  const DragController& dragController() const { return drag_->controller(); }

  void undo();
  void redo();
  void showAbout();

 public slots:
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void createControls();
  void placeControls();
  void connectControls();
  void createActions();
  void fillCategories();
  void fillPalette();
  void filterPalette();
  void buildEventTree();
  void addEventToTree(int recordIndex);
  void selectEvent(int recordIndex);
  void describeSelectedPart(const QItemSelection& selected);
  void clearPartsSelectionMark();
  void save();
  void checkProgram();
  void tryIt();
  bool makeEdit(const LineEdit& edit);
  void afterHistoryStep(std::optional<int> record);

  // The pointer events of a drag, as the event router passes them on; positions are global.
  bool beginDrag(QListWidget* list, int row, QPoint globalPointer);
  void dragPointerMoved(QPoint globalPointer);
  void leftButtonReleased(QPoint globalPointer);
  // The mouse capture was taken away: the drag ends without an edit.
  void dragCaptureLost();
  bool listKey(QListWidget* list, const QKeyEvent& key);
  void deleteKeyPressed();
  void addChosenPart();
  void moveSelectedLine(int step);

  int selectedCodeLine() const;
  const QIcon& kindIcon(LineKind kind) const;

  RcodeProgram& program_;
  std::filesystem::path programPath_;
  std::filesystem::path backupsFolder_;
  platform::Messenger& messenger_;
  std::vector<LineList> loadedLines_;

  QTreeWidget* eventTree_ = nullptr;
  QListWidget* codeList_ = nullptr;
  QListWidget* partsList_ = nullptr;
  QComboBox* categoryBox_ = nullptr;
  QLineEdit* filterBox_ = nullptr;
  QLabel* description_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  EventRouter* router_ = nullptr;
  QSize templateSize_;

  std::array<QIcon, kLineKindCount> kindImages_;
  bool changed_ = false;
  std::unique_ptr<DragSession> drag_;
  EditHistory history_;
  bool placed_ = false;
};

}  // namespace velk7
