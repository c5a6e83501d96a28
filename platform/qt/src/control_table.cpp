#include "platform/qt/control_table.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

namespace platform {

namespace {

QWidget* makeStandard(const ControlRow& row, QWidget* parent) {
  const QString text = toQString(row.text);
  switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::Display: {
      auto* label = new QLabel(text, parent);
      if (row.kind == ControlKind::Display) label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
    case ControlKind::ToolButton: {
      auto* button = new QToolButton(parent);
      button->setText(text);
      return button;
    }
    case ControlKind::LineEdit:
      return new QLineEdit(parent);
    case ControlKind::ComboBox:
      return new QComboBox(parent);
    case ControlKind::Tree:
      return new QTreeWidget(parent);
    case ControlKind::List:
      return new QListWidget(parent);
  }
  return nullptr;
}

// "&When this happens:" names its control "When this happens".
QString captionName(QString text) {
  text.remove(QLatin1Char('&'));
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text;
}

// A label names the control it stands for. A display's own text is what assistive technology
// must read, so its caption describes it and is tied to it as its label instead.
void tieToBuddy(QLabel& label, QWidget& buddy) {
  label.setBuddy(&buddy);
  const QString caption = captionName(label.text());
  if (qobject_cast<QLabel*>(&buddy) != nullptr) {
    buddy.setAccessibleDescription(caption);
  } else if (buddy.accessibleName().isEmpty()) {
    buddy.setAccessibleName(caption);
  }
}

}  // namespace

void buildControls(QWidget& dialog, std::span<const ControlRow> rows, const MakeControl& make) {
  for (const ControlRow& row : rows) {
    QWidget* widget = make ? make(row, &dialog) : nullptr;
    if (widget == nullptr) widget = makeStandard(row, &dialog);
    widget->setObjectName(toQString(row.id));
    if (!row.tip.empty()) widget->setToolTip(toQString(row.tip));
    if (!row.name.empty()) widget->setAccessibleName(toQString(row.name));
  }
  // Every row exists before a label looks up the control it names.
  for (const ControlRow& row : rows) {
    if (row.kind != ControlKind::Label || row.buddy.empty()) continue;
    auto* label = control<QLabel>(dialog, row.id);
    QWidget* buddy = control(dialog, row.buddy);
    if (label != nullptr && buddy != nullptr) tieToBuddy(*label, *buddy);
  }
}

void placeControls(QWidget& dialog, std::span<const ControlRow> rows, Rounding rounding,
                   QSize grown) {
  const DialogBaseUnits base = baseUnitsOf(dialog.font());
  for (const ControlRow& row : rows) {
    QWidget* widget = control(dialog, row.id);
    if (widget == nullptr) continue;
    QRect place =
        rounding == Rounding::Corners ? cornerPixels(row.rect, base) : sizePixels(row.rect, base);
    if (row.kind == ControlKind::ComboBox) place.setHeight(widget->sizeHint().height());
    const Stretch& stretch = row.stretch;
    place.translate(grown.width() * stretch.moveX / 2, grown.height() * stretch.moveY / 2);
    place.setSize(place.size() + QSize(grown.width() * stretch.growWidth / 2,
                                       grown.height() * stretch.growHeight / 2));
    widget->setGeometry(place);
  }
}

}  // namespace platform
