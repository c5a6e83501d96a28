#include "velk7/editor/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "velk7/editor/dialog_font.h"
#include "velk7/editor/editor_images.h"

namespace velk7 {

namespace {
constexpr UnitRect kBoxSize{0, 0, 235, 55};
constexpr UnitRect kIconPlace{11, 17, 20, 20};
constexpr UnitRect kTextPlace{40, 25, 119, 8};
constexpr UnitRect kOkPlace{178, 7, 50, 14};
constexpr int kIconPixels = 32;
}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QString::fromLatin1(kAboutTitle));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(dialogFont());
  const DialogBaseUnits base = baseUnitsOf(font());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(programIconPixmap(kIconPixels, devicePixelRatioF()));
  const QRect iconRect = pixelRect(kIconPlace, base);
  icon->setGeometry(QRect(iconRect.topLeft(), QSize(kIconPixels, kIconPixels)));

  auto* text = new QLabel(QString::fromLatin1(kAboutText), this);
  text->setObjectName(QStringLiteral("version"));
  text->setGeometry(pixelRect(kTextPlace, base));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("1"));
  ok->setGeometry(pixelRect(kOkPlace, base));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(pixelRect(kBoxSize, base).size());
}

}  // namespace velk7
