#include "editor_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <string>

#include "about_dialog.h"
#include "editor_images.h"
#include "editor_template.h"
#include "event_router.h"
#include "line_edits.h"
#include "platform/qt/backup_chooser.h"
#include "platform/qt/control_table.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/message_box_messenger.h"
#include "platform/qt/qt_text.h"
#include "program_check.h"
#include "save_program.h"
#include "try_it_window.h"
#include "velk7/rcode/palette.h"
#include "velk_mur/stick/stick_backup.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace velk7 {

namespace {

constexpr int kGroupData = -1;
constexpr int kTextBytesRole = Qt::UserRole + 2;
#ifdef Q_OS_WIN
constexpr int kAboutCommand = 16;
#endif

using platform::toQString;
namespace id = control_id;

void setUpTree(QTreeWidget& tree) {
  tree.setHeaderHidden(true);
  tree.setColumnCount(1);
  tree.setRootIsDecorated(true);
  tree.setItemsExpandable(true);
  tree.setSelectionMode(QAbstractItemView::SingleSelection);
  tree.setSortingEnabled(false);
  tree.setDragEnabled(false);
  tree.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void setUpList(QListWidget& list, QAbstractItemView::SelectionMode selection) {
  list.setViewMode(QListView::ListMode);
  list.setFlow(QListView::TopToBottom);
  list.setWrapping(true);
  list.setResizeMode(QListView::Adjust);
  list.setSortingEnabled(false);
  list.setIconSize(kImageSize);
  list.setDragEnabled(false);
  list.setEditTriggers(QAbstractItemView::NoEditTriggers);
  list.setFrameShape(QFrame::StyledPanel);
  list.setSelectionMode(selection);
}

}  // namespace

std::unique_ptr<platform::MessageBoxMessenger> makeEditorMessenger() {
  auto messenger = std::make_unique<platform::MessageBoxMessenger>(
      QStringLiteral("VELK7"), QMessageBox::Warning, QMessageBox::Warning, QMessageBox::Warning);
  messenger->setDefaultAnswer(false);
  return messenger;
}

EditorDialog::EditorDialog(RcodeProgram& program, std::filesystem::path programPath,
                           platform::Messenger& messenger, QWidget* parent)
    : QDialog(parent),
      program_(program),
      programPath_(std::move(programPath)),
      messenger_(messenger) {
  setObjectName(QStringLiteral("102"));
  setWindowTitle(toQString(kDialogTitle));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(platform::dialogFont());
  setWindowIcon(programIcon());
  for (const VelkRecord& record : program_.records) loadedLines_.push_back(record.lines);

  createControls();
  createActions();
#ifdef Q_OS_WIN
  HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (systemMenu != nullptr) {
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, kAboutCommand, L"&About VELK7...");
  }
#else
  auto* aboutKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(aboutKey, &QShortcut::activated, this, &EditorDialog::showAbout);
#endif

  fillCategories();
  buildEventTree();
  showEventCode(selectedEvent());
  eventTree_->setFocus(Qt::OtherFocusReason);
}

EditorDialog::~EditorDialog() {
  // The router goes first: hiding the dialog while it is destroyed sends events whose handlers
  // would call into the part of this object that is already gone.
  delete router_;
}

void EditorDialog::createControls() {
  kindImages_ = makeKindImages(devicePixelRatioF());
  platform::buildControls(*this, kEditorControls);
  eventTree_ = platform::control<QTreeWidget>(*this, id::kEventTree);
  codeList_ = platform::control<QListWidget>(*this, id::kCodeList);
  partsList_ = platform::control<QListWidget>(*this, id::kPartsList);
  categoryBox_ = platform::control<QComboBox>(*this, id::kCategoryBox);
  filterBox_ = platform::control<QLineEdit>(*this, id::kFilter);
  description_ = platform::control<QLabel>(*this, id::kDescription);
  saveButton_ = platform::control<QPushButton>(*this, id::kSave);
  setUpTree(*eventTree_);
  setUpList(*codeList_, QAbstractItemView::SingleSelection);
  setUpList(*partsList_, QAbstractItemView::ExtendedSelection);
  filterBox_->setClearButtonEnabled(true);

  // The window opens at the template's size and may shrink to fit small or scaled screens.
  const platform::DialogBaseUnits base = platform::baseUnitsOf(font());
  templateSize_ = platform::cornerPixels(kEditorSize, base).size();
  resize(templateSize_);
  setMinimumSize(templateSize_ - QSize(platform::horizontalPixels(kShrinkWidthUnits, base),
                                       platform::verticalPixels(kShrinkHeightUnits, base)));
  const auto category =
      std::find_if(kEditorControls.begin(), kEditorControls.end(),
                   [](const platform::ControlRow& row) { return row.id == id::kCategoryBox; });
  const int categoryHeight = platform::verticalPixels(category->rect.height, base);
  const int itemHeight = std::max(1, QFontMetrics(font()).height() + 2);
  categoryBox_->setMaxVisibleItems(
      std::max(1, (categoryHeight - categoryBox_->sizeHint().height()) / itemHeight));
  placeControls();
  connectControls();
}

void EditorDialog::connectControls() {
  connect(eventTree_, &QTreeWidget::itemSelectionChanged, this,
          [this] { showEventCode(selectedEvent()); });
  connect(partsList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) { describeSelectedPart(selected); });
  connect(filterBox_, &QLineEdit::textChanged, this, [this] { filterPalette(); });
  connect(saveButton_, &QPushButton::clicked, this, &EditorDialog::save);
  connect(platform::control<QPushButton>(*this, id::kCheck), &QPushButton::clicked, this,
          &EditorDialog::checkProgram);
  connect(platform::control<QPushButton>(*this, id::kTryIt), &QPushButton::clicked, this,
          &EditorDialog::tryIt);
  router_ = new EventRouter(
      this, codeList_, partsList_,
      {[this](QListWidget* list, int row, QPoint at) { return beginDrag(list, row, at); },
       [this](QPoint at) { dragPointerMoved(at); }, [this](QPoint at) { leftButtonReleased(at); },
       [this] { dragCaptureLost(); },
       [this](QListWidget* list, const QKeyEvent& key) { return listKey(list, key); }});
  drag_ = std::make_unique<DragSession>(*this, *codeList_, *partsList_);
}

void EditorDialog::placeControls() {
  platform::placeControls(*this, kEditorControls, platform::Rounding::Corners,
                          size() - templateSize_);
}

void EditorDialog::createActions() {
  undoAction_ = new QAction(QStringLiteral("&Undo"), this);
  undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoAction_ = new QAction(QStringLiteral("&Redo"), this);
  redoAction_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (QAction* action : {undoAction_, redoAction_}) {
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    addAction(action);
  }
  connect(undoAction_, &QAction::triggered, this, &EditorDialog::undo);
  connect(redoAction_, &QAction::triggered, this, &EditorDialog::redo);
}

void EditorDialog::fillCategories() {
  for (const std::string& name : categoryNames()) categoryBox_->addItem(toQString(name));
  categoryBox_->setCurrentIndex(kStandardCategory);
  connect(categoryBox_, &QComboBox::currentIndexChanged, this, [this] { fillPalette(); });
  fillPalette();
}

void EditorDialog::fillPalette() {
  partsList_->clear();
  const int category = categoryBox_->currentIndex();
  if (category < 0) return;
  for (const PaletteEntry& entry : paletteEntries(category, program_, programPath_, messenger_)) {
    auto* item = new QListWidgetItem(kindIcon(entry.kind), toQString(entry.label));
    // The part's own bytes: its lines are joined by 0xFF, which is no text.
    item->setData(kItemDataRole,
                  QByteArray(entry.part.data(), static_cast<qsizetype>(entry.part.size())));
    partsList_->addItem(item);
  }
  filterPalette();
  setDescription(kSelectActionHint);
}

void EditorDialog::filterPalette() {
  const QString wanted = filterBox_->text().trimmed();
  for (int row = 0; row < partsList_->count(); ++row) {
    QListWidgetItem* item = partsList_->item(row);
    item->setHidden(!item->text().contains(wanted, Qt::CaseInsensitive));
  }
}

void EditorDialog::describeSelectedPart(const QItemSelection& selected) {
  const QModelIndexList newlySelected = selected.indexes();
  if (newlySelected.isEmpty()) return;
  const QByteArray part = newlySelected.last().data(kItemDataRole).toByteArray();
  setDescription(
      partDescription(std::string_view(part.constData(), static_cast<std::size_t>(part.size()))));
}

void EditorDialog::buildEventTree() {
  for (int index = 0; index < program_.recordCount(); ++index) addEventToTree(index);
  QTreeWidgetItem* first = eventTree_->topLevelItem(0);
  if (first == nullptr) return;
  first->setExpanded(true);
  if (first->childCount() > 0) {
    eventTree_->setCurrentItem(first->child(0));
  } else {
    // An ungrouped first event stays unselected; only the cursor rests on it.
    eventTree_->selectionModel()->setCurrentIndex(eventTree_->indexFromItem(first),
                                                  QItemSelectionModel::NoUpdate);
  }
}

void EditorDialog::addEventToTree(int recordIndex) {
  const std::string& name = program_.records[static_cast<std::size_t>(recordIndex)].name;
  const std::size_t slash = name.find('/');
  // Top-level items keep their text's bytes: groups match byte for byte, also where the
  // text is not valid UTF-8 and shows replacement characters.
  const auto topItem = [](std::string_view text, int data) {
    auto* item = new QTreeWidgetItem(QStringList(toQString(text)));
    item->setData(0, kItemDataRole, data);
    item->setData(0, kTextBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    return item;
  };
  if (slash == std::string::npos) {
    eventTree_->addTopLevelItem(topItem(name, recordIndex));
    return;
  }
  const std::string_view group = std::string_view(name).substr(0, slash);
  const QByteArray groupBytes(group.data(), static_cast<qsizetype>(group.size()));
  QTreeWidgetItem* parent = nullptr;
  for (int top = 0; top < eventTree_->topLevelItemCount() && parent == nullptr; ++top) {
    QTreeWidgetItem* candidate = eventTree_->topLevelItem(top);
    if (candidate->data(0, kTextBytesRole).toByteArray() == groupBytes) parent = candidate;
  }
  if (parent == nullptr) {
    parent = topItem(group, kGroupData);
    eventTree_->addTopLevelItem(parent);
  }
  auto* child =
      new QTreeWidgetItem(QStringList(toQString(std::string_view(name).substr(slash + 1))));
  child->setData(0, kItemDataRole, recordIndex);
  parent->addChild(child);
}

void EditorDialog::selectEvent(int recordIndex) {
  if (selectedEvent() == recordIndex) return;
  for (QTreeWidgetItemIterator it(eventTree_); *it != nullptr; ++it) {
    if ((*it)->data(0, kItemDataRole).toInt() != recordIndex) continue;
    eventTree_->setCurrentItem(*it);
    return;
  }
}

int EditorDialog::selectedEvent() const {
  const QList<QTreeWidgetItem*> selected = eventTree_->selectedItems();
  if (selected.isEmpty()) return -1;
  const int index = selected.first()->data(0, kItemDataRole).toInt();
  return index >= 0 && index < program_.recordCount() ? index : -1;
}

void EditorDialog::showEventCode(int recordIndex) {
  codeList_->clear();
  if (recordIndex < 0 || recordIndex >= program_.recordCount()) {
    auto* item = new QListWidgetItem(toQString(kNoEventPlaceholder));
    item->setData(kItemDataRole, 0);
    item->setData(kIsCodeLineRole, false);
    codeList_->addItem(item);
    return;
  }
  const LineList& lines = program_.records[static_cast<std::size_t>(recordIndex)].lines;
  if (lines.empty()) {
    auto* item = new QListWidgetItem(toQString(kEmptyEventPlaceholder));
    item->setData(kItemDataRole, kEmptyPlaceholderData);
    item->setData(kIsCodeLineRole, false);
    codeList_->addItem(item);
  }
  for (const std::string& line : lines) {
    auto* item = new QListWidgetItem(kindIcon(classifyLine(line)), toQString(line));
    item->setData(kItemDataRole, 0);
    item->setData(kIsCodeLineRole, true);
    codeList_->addItem(item);
  }
  clearPartsSelectionMark();
  setDescription(kSelectActionHint);
}

void EditorDialog::setDescription(std::string_view text) {
  description_->setText(toQString(text));
}

void EditorDialog::clearPartsSelectionMark() {
  partsList_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

const QIcon& EditorDialog::kindIcon(LineKind kind) const {
  return kindImages_[static_cast<std::size_t>(kind)];
}

bool EditorDialog::differsFromFile() const {
  for (std::size_t record = 0; record < loadedLines_.size(); ++record) {
    if (program_.records[record].lines != loadedLines_[record]) return true;
  }
  return false;
}

// --- Edits and their history -------------------------------------------------------

bool EditorDialog::makeEdit(const LineEdit& edit) {
  if (edit.record < 0 || edit.record >= program_.recordCount()) return false;
  LineList& lines = program_.records[static_cast<std::size_t>(edit.record)].lines;
  LineList before = lines;
  if (!applyLineEdit(program_, edit, messenger_)) return false;
  history_.add(edit.record, std::move(before), lines);
  changed_ = true;
  undoAction_->setEnabled(history_.canUndo());
  redoAction_->setEnabled(history_.canRedo());
  showEventCode(selectedEvent());
  return true;
}

// Not while a drag is under way: the dragged line's index must stay true until the drop.
void EditorDialog::undo() {
  if (!drag_->dragging()) afterHistoryStep(history_.undo(program_));
}

void EditorDialog::redo() {
  if (!drag_->dragging()) afterHistoryStep(history_.redo(program_));
}

void EditorDialog::afterHistoryStep(std::optional<int> record) {
  undoAction_->setEnabled(history_.canUndo());
  redoAction_->setEnabled(history_.canRedo());
  if (!record) return;
  changed_ = true;
  // The record undone is shown, wherever the selection was.
  selectEvent(*record);
  showEventCode(selectedEvent());
}

int EditorDialog::selectedCodeLine() const {
  const QList<QListWidgetItem*> marked = codeList_->selectedItems();
  if (marked.isEmpty() || !marked.first()->data(kIsCodeLineRole).toBool()) return -1;
  return codeList_->row(marked.first());
}

void EditorDialog::deleteKeyPressed() {
  const int mark = selectedCodeLine();
  makeEdit(deleteKeyEdit(selectedEvent(), mark, mark >= 0));
}

void EditorDialog::addChosenPart() {
  const QListWidgetItem* chosen = partsList_->currentItem();
  const int record = selectedEvent();
  if (chosen == nullptr || chosen->isHidden() || record < 0) return;
  const int after = selectedCodeLine();
  const std::size_t before = program_.records[static_cast<std::size_t>(record)].lines.size();
  LineEdit edit{LineEdit::Kind::AddPart, record,
                chosen->data(kItemDataRole).toByteArray().toStdString()};
  edit.to = after < 0 ? -1 : after + 1;
  const int partRow = partsList_->row(chosen);
  if (!makeEdit(edit)) return;
  // The keyboard keeps its place in the palette for the next part.
  partsList_->setCurrentRow(partRow);
  // The last line added becomes the selected line, so the next part follows it.
  const auto added =
      static_cast<int>(program_.records[static_cast<std::size_t>(record)].lines.size() - before);
  const int last = after < 0 ? codeList_->count() - 1 : after + added;
  codeList_->setCurrentRow(last);
}

void EditorDialog::moveSelectedLine(int step) {
  const int from = selectedCodeLine();
  const int record = selectedEvent();
  if (from < 0 || record < 0) return;
  const int to = from + step;
  if (to < 0 || to >= codeList_->count()) return;
  // A line goes before the line at the index it is moved to, so moving down passes one more.
  LineEdit edit{LineEdit::Kind::MoveLine, record, "", from, step < 0 ? to : to + 1};
  if (makeEdit(edit)) codeList_->setCurrentRow(to);
}

bool EditorDialog::listKey(QListWidget* list, const QKeyEvent& key) {
  const bool control = key.modifiers().testFlag(Qt::ControlModifier);
  if (list == codeList_) {
    if (key.key() == Qt::Key_Delete) {
      deleteKeyPressed();
      return true;
    }
    if (control && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
      moveSelectedLine(key.key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
    return false;
  }
  if (key.key() == Qt::Key_Insert || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
    addChosenPart();
    return true;
  }
  return false;
}

// --- Drag and drop -----------------------------------------------------------------

bool EditorDialog::beginDrag(QListWidget* list, int row, QPoint globalPointer) {
  if (!drag_->begin(*list, row, globalPointer)) return false;
  setDescription(drag_->controller().dragHint());
  return true;
}

void EditorDialog::dragPointerMoved(QPoint globalPointer) {
  drag_->move(globalPointer, selectedEvent());
}

void EditorDialog::leftButtonReleased(QPoint globalPointer) {
  if (drag_->dragging()) makeEdit(drag_->release(globalPointer, selectedEvent()));
  clearPartsSelectionMark();
  setDescription(kSelectActionHint);
}

void EditorDialog::dragCaptureLost() {
  if (drag_->abandon()) setDescription(kSelectActionHint);
}

// --- Window ------------------------------------------------------------------------

void EditorDialog::keyPressEvent(QKeyEvent* event) {
  // Enter is the dialog's OK command, handled like cancelling, unless it presses Save or
  // ends typing a filter, which takes the keyboard to the first part shown.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (focusWidget() == filterBox_) {
      partsList_->setFocus();
      for (int row = 0; row < partsList_->count(); ++row) {
        if (partsList_->item(row)->isHidden()) continue;
        partsList_->setCurrentRow(row);
        break;
      }
    } else if (focusWidget() == saveButton_) {
      save();
    } else {
      reject();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void EditorDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeControls();
}

void EditorDialog::showEvent(QShowEvent* event) {
  const QScreen* where = screen();
  if (!placed_ && where != nullptr) {
    placed_ = true;
    // A window larger than the screen shrinks to it, down to its least size, and opens
    // centred.
    const QRect room = where->availableGeometry();
    QSize frame = frameGeometry().size() - size();
    // Before its first showing the window manager's frame is not known yet: allow for a
    // title bar and borders.
    if (frame.isEmpty()) {
      const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
      frame = QSize(border * 2, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border * 2);
    }
    resize(size().boundedTo(room.size() - frame).expandedTo(minimumSize()));
    QRect placed(QPoint(), size() + frame);
    placed.moveCenter(room.center());
    move(std::max(placed.left(), room.left()), std::max(placed.top(), room.top()));
  }
  QDialog::showEvent(event);
}

void EditorDialog::reject() {
  dragCaptureLost();
  if (cancelEditing(differsFromFile(), messenger_)) done(kCancelledResult);
}

void EditorDialog::save() {
  // The whole program is checked as it will be written; one without errors saves as before.
  if (const std::optional<std::string> text = textToSave(program_)) {
    if (!confirmSave(checkText(*text, programPath_), messenger_)) return;
  }
  if (saveProgram(program_, programPath_, changed_, messenger_, backupsFolder_)) {
    done(kSavedResult);
  }
}

void EditorDialog::restoreBackup() {
  if (backupsFolder_.empty()) {
    messenger_.show("No folder for backups of the memory stick was found", true);
    return;
  }
  // Edits not saved would be lost with the program that the backup replaces.
  if (!cancelEditing(differsFromFile(), messenger_)) return;
  const std::filesystem::path stickRoot = programPlace(programPath_).stickRoot;
  const std::optional<platform::BackupEntry> backup =
      platform::chooseBackup(this, backupsFolder_, stickRoot, messenger_);
  if (!backup || !velk_mur::restoreBackup(backup->folder, stickRoot, messenger_)) return;
  done(kRestoredResult);
}

void EditorDialog::checkProgram() {
  const std::optional<std::string> text = textToSave(program_);
  if (!text) {
    messenger_.show("A line of the program cannot be written back to R-CODE.R", true);
    return;
  }
  const program::CheckResult result = checkText(*text, programPath_);
  messenger_.show(checkReport(result), result.errors() > 0);
}

void EditorDialog::tryIt() {
  const std::optional<std::string> text = textToSave(program_);
  if (!text) {
    messenger_.show("A line of the program cannot be written back to R-CODE.R", true);
    return;
  }
  TryItWindow window(*text, programPath_, this);
  window.exec();
}

void EditorDialog::showAbout() {
  AboutDialog about(this);
  about.exec();
}

void EditorDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("contextMenu"));
  menu.addAction(undoAction_);
  menu.addAction(redoAction_);
  menu.addSeparator();
  menu.addAction(QStringLiteral("Restore a &backup..."), this, &EditorDialog::restoreBackup);
#ifndef Q_OS_WIN
  // Elsewhere the About box is in the system menu.
  menu.addSeparator();
  menu.addAction(toQString(kAboutMenuText), this, &EditorDialog::showAbout);
#endif
  menu.exec(event->globalPos());
}

#ifdef Q_OS_WIN
bool EditorDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const auto* msg = static_cast<const MSG*>(message);
  // The low four bits of a system command are the system's own.
  if (msg->message == WM_SYSCOMMAND &&
      (msg->wParam & 0xFFF0) == static_cast<WPARAM>(kAboutCommand)) {
    showAbout();
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

}  // namespace velk7
