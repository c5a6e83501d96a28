#pragma once
// The editor's window: the event tree, the selected event's code lines, and the parts
// palette below. It only maps widgets and pointer events onto the drag controller, the
// line edits and the save and cancel decisions.
#include <QDialog>
#include <QPoint>
#include <array>
#include <filesystem>
#include <string_view>

#include "platform/messenger.h"
#include "velk7/editor/drag_controller.h"
#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program.h"

class QComboBox;
class QItemSelection;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velk7 {

class DragImageWindow;

inline constexpr std::string_view kDialogTitle = "VELK7 - Simple RCODE Customization";
inline constexpr std::string_view kNoEventPlaceholder =
    "select AIBO event  (cannot drag parts here)";
inline constexpr std::string_view kEmptyEventPlaceholder =
    "empty   (drag parts from below to here)";

// End results of the dialog.
inline constexpr int kSavedResult = 1004;
inline constexpr int kCancelledResult = 2;

// Item data roles of the three views.
inline constexpr int kItemDataRole = Qt::UserRole;
inline constexpr int kIsCodeLineRole = Qt::UserRole + 1;

class EditorDialog : public QDialog {
  Q_OBJECT

 public:
  EditorDialog(RcodeProgram& program, std::filesystem::path programPath,
               platform::Messenger& messenger, QWidget* parent = nullptr);
  ~EditorDialog() override;

  // The record of the selected tree item, or -1 for none or a group.
  int selectedEvent() const;
  void showEventCode(int recordIndex);
  void setDescription(std::string_view text);
  bool changed() const { return changed_; }
  const DragController& dragController() const { return drag_; }

  // The pointer events of a drag, as the mouse handlers pass them on; positions are global.
  bool beginPartsDrag(int row, QPoint globalPointer);
  bool beginCodeDrag(int row, QPoint globalPointer);
  void dragPointerMoved(QPoint globalPointer);
  void leftButtonReleased(QPoint globalPointer);
  // The mouse capture was taken away: the drag ends without an edit.
  void dragCaptureLost();
  void deleteKeyPressed();

  void showAbout();

 public slots:
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
#ifndef Q_OS_WIN
  void contextMenuEvent(QContextMenuEvent* event) override;
#else
  void addAboutToSystemMenu();
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void createControls();
  void fillCategories();
  void fillPalette();
  void buildEventTree();
  void addEventToTree(int recordIndex);
  void describeSelectedPart(const QItemSelection& selected);
  void clearPartsSelectionMark();
  void save();
  void showDragPicture(DragPicture picture, QPoint globalPointer);
  void endDragPicture();
  DropTarget targetAt(QPoint globalPointer) const;
  QWidget* widgetAt(QPoint globalPointer) const;
  int codeDropIndex(QPoint globalPointer) const;
  const QIcon& kindIcon(LineKind kind) const;

  RcodeProgram& program_;
  std::filesystem::path programPath_;
  platform::Messenger& messenger_;

  QTreeWidget* eventTree_ = nullptr;
  QListWidget* codeList_ = nullptr;
  QListWidget* partsList_ = nullptr;
  QComboBox* categoryBox_ = nullptr;
  QLabel* description_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  DragImageWindow* dragImage_ = nullptr;

  std::array<QIcon, kLineKindCount> kindImages_;
  QPixmap deleteMark_;
  QPixmap noDropMark_;
  QPixmap itemPicture_;
  bool changed_ = false;
  DragController drag_;

  // A left-button press in one of the lists, which becomes a drag once the pointer moves.
  QListWidget* pressedList_ = nullptr;
  int pressedRow_ = -1;
  QPoint pressedAt_;
  bool centred_ = false;
};

}  // namespace velk7
