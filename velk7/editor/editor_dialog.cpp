#include "velk7/editor/editor_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>
#include <string>

#include "velk7/editor/about_dialog.h"
#include "velk7/editor/dialog_font.h"
#include "velk7/editor/drag_image_window.h"
#include "velk7/editor/editor_images.h"
#include "velk7/editor/line_edits.h"
#include "velk7/editor/save_program.h"
#include "velk7/rcode/palette.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace velk7 {

namespace {

// The dialog template, in dialog units.
constexpr UnitRect kDialogSize{0, 0, 392, 355};
constexpr UnitRect kEventTreePlace{7, 18, 107, 172};
constexpr UnitRect kCodeListPlace{119, 18, 262, 172};
constexpr UnitRect kPartsListPlace{4, 212, 377, 101};
constexpr UnitRect kCategoryBoxPlace{67, 195, 136, 143};
constexpr UnitRect kDescriptionPlace{83, 321, 300, 8};
constexpr UnitRect kSavePlace{127, 339, 137, 13};
constexpr UnitRect kEventsCaptionPlace{7, 6, 64, 8};
constexpr UnitRect kCodeCaptionPlace{126, 6, 48, 8};
constexpr UnitRect kCategoryCaptionPlace{7, 198, 57, 8};
constexpr UnitRect kRulePlace{232, 200, 143, 2};
constexpr UnitRect kDescriptionCaptionPlace{9, 321, 66, 8};

constexpr int kGroupData = -1;
#ifdef Q_OS_WIN
constexpr int kAboutCommand = 16;
#endif

QString fromBytes(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeCaption(QWidget* parent, const char* name, const char* text, const UnitRect& place,
                    const DialogBaseUnits& base) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(pixelRect(place, base));
  return label;
}

void setUpListView(QListWidget* list) {
  list->setViewMode(QListView::ListMode);
  list->setFlow(QListView::TopToBottom);
  list->setWrapping(true);
  list->setResizeMode(QListView::Adjust);
  list->setSortingEnabled(false);
  list->setIconSize(kImageSize);
  list->setDragEnabled(false);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setFrameShape(QFrame::StyledPanel);
}

}  // namespace

EditorDialog::EditorDialog(RcodeProgram& program, std::filesystem::path programPath,
                           platform::Messenger& messenger, QWidget* parent)
    : QDialog(parent),
      program_(program),
      programPath_(std::move(programPath)),
      messenger_(messenger) {
  setObjectName(QStringLiteral("102"));
  setWindowTitle(fromBytes(kDialogTitle));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(dialogFont());
  const QIcon icon = programIcon();
  setWindowIcon(icon);

  createControls();
#ifdef Q_OS_WIN
  addAboutToSystemMenu();
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
  // Ends a drag that is still under way so the mouse is not left captured.
  if (drag_.dragging()) releaseMouse();
}

void EditorDialog::createControls() {
  const DialogBaseUnits base = baseUnitsOf(font());
  setFixedSize(pixelRect(kDialogSize, base).size());
  kindImages_ = makeKindImages(devicePixelRatioF());
  deleteMark_ = dragMark(DragPicture::DeleteMark, devicePixelRatioF());
  noDropMark_ = dragMark(DragPicture::NoDropMark, devicePixelRatioF());

  makeCaption(this, "eventsCaption", "When this happens:", kEventsCaptionPlace, base);
  makeCaption(this, "codeCaption", "AIBO does this", kCodeCaptionPlace, base);
  makeCaption(this, "categoryCaption", "Available Actions:", kCategoryCaptionPlace, base);
  makeCaption(this, "descriptionCaption", "Description/Posture:", kDescriptionCaptionPlace, base);

  eventTree_ = new QTreeWidget(this);
  eventTree_->setObjectName(QStringLiteral("1000"));
  eventTree_->setGeometry(pixelRect(kEventTreePlace, base));
  eventTree_->setHeaderHidden(true);
  eventTree_->setColumnCount(1);
  eventTree_->setRootIsDecorated(true);
  eventTree_->setItemsExpandable(true);
  eventTree_->setSelectionMode(QAbstractItemView::SingleSelection);
  eventTree_->setSortingEnabled(false);
  eventTree_->setDragEnabled(false);
  eventTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(eventTree_, &QTreeWidget::itemSelectionChanged, this,
          [this] { showEventCode(selectedEvent()); });

  codeList_ = new QListWidget(this);
  codeList_->setObjectName(QStringLiteral("1001"));
  codeList_->setGeometry(pixelRect(kCodeListPlace, base));
  setUpListView(codeList_);
  codeList_->setSelectionMode(QAbstractItemView::SingleSelection);

  partsList_ = new QListWidget(this);
  partsList_->setObjectName(QStringLiteral("1003"));
  partsList_->setGeometry(pixelRect(kPartsListPlace, base));
  setUpListView(partsList_);
  partsList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(partsList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) { describeSelectedPart(selected); });

  // The drop-down list opens to the template's height below the closed box.
  const QRect categoryRect = pixelRect(kCategoryBoxPlace, base);
  categoryBox_ = new QComboBox(this);
  categoryBox_->setObjectName(QStringLiteral("1006"));
  categoryBox_->setEditable(false);
  const int closedHeight = categoryBox_->sizeHint().height();
  categoryBox_->setGeometry(categoryRect.x(), categoryRect.y(), categoryRect.width(), closedHeight);
  const int itemHeight = std::max(1, QFontMetrics(font()).height() + 2);
  categoryBox_->setMaxVisibleItems(
      std::max(1, (categoryRect.height() - closedHeight) / itemHeight));

  description_ = new QLabel(QStringLiteral("Static"), this);
  description_->setObjectName(QStringLiteral("1007"));
  description_->setGeometry(pixelRect(kDescriptionPlace, base));
  description_->setTextFormat(Qt::PlainText);

  saveButton_ = new QPushButton(QStringLiteral("Save RCODE program to memory stick"), this);
  saveButton_->setObjectName(QStringLiteral("1004"));
  saveButton_->setGeometry(pixelRect(kSavePlace, base));
  saveButton_->setAutoDefault(false);
  saveButton_->setDefault(false);
  connect(saveButton_, &QPushButton::clicked, this, &EditorDialog::save);

  auto* rule = new QFrame(this);
  rule->setObjectName(QStringLiteral("rule"));
  rule->setGeometry(pixelRect(kRulePlace, base));
  rule->setFrameStyle(QFrame::Box | QFrame::Plain);
  rule->setLineWidth(1);
  QPalette black = rule->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  rule->setPalette(black);

  setTabOrder(eventTree_, codeList_);
  setTabOrder(codeList_, partsList_);
  setTabOrder(partsList_, saveButton_);
  setTabOrder(saveButton_, categoryBox_);

  codeList_->viewport()->installEventFilter(this);
  partsList_->viewport()->installEventFilter(this);
  codeList_->installEventFilter(this);

  dragImage_ = new DragImageWindow(this);
}

void EditorDialog::fillCategories() {
  for (const std::string& name : categoryNames()) categoryBox_->addItem(fromBytes(name));
  categoryBox_->setCurrentIndex(kStandardCategory);
  connect(categoryBox_, &QComboBox::currentIndexChanged, this, [this] { fillPalette(); });
  fillPalette();
}

void EditorDialog::fillPalette() {
  partsList_->clear();
  const int category = categoryBox_->currentIndex();
  if (category < 0) return;
  for (const PaletteEntry& entry : paletteEntries(category, program_, programPath_, messenger_)) {
    auto* item = new QListWidgetItem(kindIcon(entry.kind), fromBytes(entry.label));
    item->setData(kItemDataRole,
                  QByteArray(entry.part.data(), static_cast<qsizetype>(entry.part.size())));
    partsList_->addItem(item);
  }
  setDescription(kSelectActionHint);
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
  if (slash == std::string::npos) {
    auto* item = new QTreeWidgetItem(QStringList(fromBytes(name)));
    item->setData(0, kItemDataRole, recordIndex);
    eventTree_->addTopLevelItem(item);
    return;
  }
  const QString group = fromBytes(std::string_view(name).substr(0, slash));
  const QString entry = fromBytes(std::string_view(name).substr(slash + 1));
  QTreeWidgetItem* parent = nullptr;
  for (int top = 0; top < eventTree_->topLevelItemCount() && parent == nullptr; ++top) {
    QTreeWidgetItem* candidate = eventTree_->topLevelItem(top);
    if (candidate->text(0) == group) parent = candidate;
  }
  if (parent == nullptr) {
    parent = new QTreeWidgetItem(QStringList(group));
    parent->setData(0, kItemDataRole, kGroupData);
    eventTree_->addTopLevelItem(parent);
  }
  auto* child = new QTreeWidgetItem(QStringList(entry));
  child->setData(0, kItemDataRole, recordIndex);
  parent->addChild(child);
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
    auto* item = new QListWidgetItem(fromBytes(kNoEventPlaceholder));
    item->setData(kItemDataRole, 0);
    item->setData(kIsCodeLineRole, false);
    codeList_->addItem(item);
    return;
  }
  const LineList& lines = program_.records[static_cast<std::size_t>(recordIndex)].lines;
  if (lines.empty()) {
    auto* item = new QListWidgetItem(fromBytes(kEmptyEventPlaceholder));
    item->setData(kItemDataRole, kEmptyPlaceholderData);
    item->setData(kIsCodeLineRole, false);
    codeList_->addItem(item);
  }
  for (const std::string& line : lines) {
    auto* item = new QListWidgetItem(kindIcon(classifyLine(line)), fromBytes(line));
    item->setData(kItemDataRole, 0);
    item->setData(kIsCodeLineRole, true);
    codeList_->addItem(item);
  }
  clearPartsSelectionMark();
  setDescription(kSelectActionHint);
}

void EditorDialog::setDescription(std::string_view text) {
  description_->setText(fromBytes(text));
}

void EditorDialog::clearPartsSelectionMark() {
  partsList_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

const QIcon& EditorDialog::kindIcon(LineKind kind) const {
  return kindImages_[static_cast<std::size_t>(kind)];
}

// --- Drag and drop -----------------------------------------------------------------

bool EditorDialog::beginPartsDrag(int row, QPoint globalPointer) {
  QListWidgetItem* item = partsList_->item(row);
  std::string part;
  if (item != nullptr) part = item->data(kItemDataRole).toByteArray().toStdString();
  if (!drag_.beginPartDrag(item != nullptr ? &part : nullptr)) return false;
  itemPicture_ = itemDragImage(item->icon(), item->text(), partsList_->font(), devicePixelRatioF());
  showDragPicture(DragPicture::ItemImage, globalPointer);
  grabMouse();
  setDescription(drag_.dragHint());
  return true;
}

bool EditorDialog::beginCodeDrag(int row, QPoint globalPointer) {
  QListWidgetItem* item = codeList_->item(row);
  const int itemData = item != nullptr ? item->data(kItemDataRole).toInt() : 0;
  if (!drag_.beginLineDrag(item != nullptr ? row : -1, itemData)) return false;
  itemPicture_ = itemDragImage(item->icon(), item->text(), codeList_->font(), devicePixelRatioF());
  showDragPicture(DragPicture::ItemImage, globalPointer);
  grabMouse();
  setDescription(drag_.dragHint());
  return true;
}

void EditorDialog::dragPointerMoved(QPoint globalPointer) {
  if (!drag_.dragging()) return;
  showDragPicture(drag_.pointerMoved(targetAt(globalPointer), selectedEvent()), globalPointer);
}

void EditorDialog::leftButtonReleased(QPoint globalPointer) {
  if (drag_.dragging()) {
    releaseMouse();
    endDragPicture();
    const DropTarget target = targetAt(globalPointer);
    const int dropIndex = target == DropTarget::CodeList ? codeDropIndex(globalPointer) : -1;
    const LineEdit edit = drag_.release(target, selectedEvent(), dropIndex);
    if (applyLineEdit(program_, edit, messenger_)) {
      changed_ = true;
      showEventCode(selectedEvent());
    }
  }
  clearPartsSelectionMark();
  setDescription(kSelectActionHint);
}

void EditorDialog::dragCaptureLost() {
  if (!drag_.dragging()) return;
  drag_.abandon();
  releaseMouse();
  endDragPicture();
  setDescription(kSelectActionHint);
}

void EditorDialog::deleteKeyPressed() {
  const QList<QListWidgetItem*> marked = codeList_->selectedItems();
  const QListWidgetItem* mark = marked.isEmpty() ? nullptr : marked.first();
  const int markIndex = mark != nullptr ? codeList_->row(mark) : -1;
  const bool isCodeLine = mark != nullptr && mark->data(kIsCodeLineRole).toBool();
  if (applyLineEdit(program_, deleteKeyEdit(selectedEvent(), markIndex, isCodeLine), messenger_)) {
    changed_ = true;
    showEventCode(selectedEvent());
  }
}

void EditorDialog::showDragPicture(DragPicture picture, QPoint globalPointer) {
  const QPixmap& wanted = picture == DragPicture::ItemImage    ? itemPicture_
                          : picture == DragPicture::DeleteMark ? deleteMark_
                                                               : noDropMark_;
  if (dragImage_->picture().cacheKey() != wanted.cacheKey()) dragImage_->setPicture(wanted);
  dragImage_->showAt(globalPointer);
}

void EditorDialog::endDragPicture() {
  dragImage_->hide();
  dragImage_->setPicture(QPixmap());
  itemPicture_ = QPixmap();
}

QWidget* EditorDialog::widgetAt(QPoint globalPointer) const {
  QWidget* found = QApplication::widgetAt(globalPointer);
  if (found != nullptr && found->window() != dragImage_) return found;
  // The picture itself lies under the pointer, and a platform that cannot see through it
  // reports it or nothing: look beneath it among the program's own windows, this dialog
  // first.
  QList<QWidget*> windows = QApplication::topLevelWidgets();
  windows.removeAll(const_cast<EditorDialog*>(this));
  windows.prepend(const_cast<EditorDialog*>(this));
  for (QWidget* window : windows) {
    if (window == dragImage_ || !window->isVisible()) continue;
    if (!window->geometry().contains(globalPointer)) continue;
    QWidget* child = window->childAt(window->mapFromGlobal(globalPointer));
    return child != nullptr ? child : window;
  }
  return nullptr;
}

DropTarget EditorDialog::targetAt(QPoint globalPointer) const {
  QWidget* under = widgetAt(globalPointer);
  if (under == nullptr) return DropTarget::Elsewhere;
  if (under == codeList_ || codeList_->isAncestorOf(under)) return DropTarget::CodeList;
  if (under == partsList_ || partsList_->isAncestorOf(under)) return DropTarget::PartsList;
  return DropTarget::Elsewhere;
}

int EditorDialog::codeDropIndex(QPoint globalPointer) const {
  const QModelIndex index = codeList_->indexAt(codeList_->viewport()->mapFromGlobal(globalPointer));
  return index.isValid() ? index.row() : codeList_->count();
}

// --- Events ------------------------------------------------------------------------

bool EditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == codeList_ && event->type() == QEvent::KeyPress) {
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
      deleteKeyPressed();
      return true;
    }
    return QDialog::eventFilter(watched, event);
  }
  QListWidget* list = nullptr;
  if (watched == codeList_->viewport()) list = codeList_;
  if (watched == partsList_->viewport()) list = partsList_;
  if (list == nullptr) return QDialog::eventFilter(watched, event);

  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() != Qt::LeftButton) break;
      const QModelIndex index = list->indexAt(press->position().toPoint());
      pressedList_ = list;
      pressedRow_ = index.isValid() ? index.row() : -1;
      pressedAt_ = press->globalPosition().toPoint();
      break;
    }
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (pressedList_ != list || (move->buttons() & Qt::LeftButton) == 0) break;
      const QPoint pointer = move->globalPosition().toPoint();
      if ((pointer - pressedAt_).manhattanLength() < QApplication::startDragDistance()) break;
      QListWidget* source = pressedList_;
      pressedList_ = nullptr;
      // A press beside every item starts no drag; the list keeps its own handling then.
      if (pressedRow_ < 0) break;
      if (source == partsList_) beginPartsDrag(pressedRow_, pointer);
      if (source == codeList_) beginCodeDrag(pressedRow_, pointer);
      return drag_.dragging();
    }
    case QEvent::MouseButtonRelease:
      pressedList_ = nullptr;
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void EditorDialog::mouseMoveEvent(QMouseEvent* event) {
  if (drag_.dragging()) {
    dragPointerMoved(event->globalPosition().toPoint());
    return;
  }
  QDialog::mouseMoveEvent(event);
}

void EditorDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftButtonReleased(event->globalPosition().toPoint());
  QDialog::mouseReleaseEvent(event);
}

void EditorDialog::keyPressEvent(QKeyEvent* event) {
  // Enter is the dialog's OK command, handled like cancelling, unless it presses Save.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (focusWidget() == saveButton_) {
      save();
    } else {
      reject();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void EditorDialog::changeEvent(QEvent* event) {
  // Another window taking the activation takes the mouse capture with it.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) dragCaptureLost();
  QDialog::changeEvent(event);
}

void EditorDialog::showEvent(QShowEvent* event) {
  if (!centred_) {
    centred_ = true;
    const QScreen* where = screen();
    if (where != nullptr) {
      QRect frame = frameGeometry();
      frame.moveCenter(where->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  QDialog::showEvent(event);
}

void EditorDialog::reject() {
  dragCaptureLost();
  if (cancelEditing(changed_, messenger_)) done(kCancelledResult);
}

void EditorDialog::save() {
  if (saveProgram(program_, programPath_, changed_, messenger_)) done(kSavedResult);
}

void EditorDialog::showAbout() {
  AboutDialog about(this);
  about.exec();
}

#ifndef Q_OS_WIN
void EditorDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("aboutMenu"));
  menu.addAction(QString::fromLatin1(kAboutMenuText), this, &EditorDialog::showAbout);
  menu.exec(event->globalPos());
}
#else
void EditorDialog::addAboutToSystemMenu() {
  HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (systemMenu == nullptr) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, kAboutCommand, L"&About VELK7...");
}

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
