#include "about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "editor_images.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/qt_text.h"
#include "velk_version.h"

namespace velk7 {

QString aboutText() {
  return QStringLiteral("VELK Version ") + platform::toQString(velk::kVelk7Version);
}

namespace {
constexpr platform::UnitRect kBoxSize{0, 0, 235, 55};
constexpr platform::UnitRect kIconPlace{11, 17, 20, 20};
constexpr platform::UnitRect kTextPlace{40, 25, 119, 8};
constexpr platform::UnitRect kOkPlace{178, 7, 50, 14};
constexpr int kIconPixels = 32;
}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(platform::toQString(kAboutTitle));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(platform::dialogFont());
  const platform::DialogBaseUnits base = platform::baseUnitsOf(font());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(programIconPixmap(kIconPixels, devicePixelRatioF()));
  const QRect iconRect = platform::cornerPixels(kIconPlace, base);
  icon->setGeometry(QRect(iconRect.topLeft(), QSize(kIconPixels, kIconPixels)));

  auto* text = new QLabel(aboutText(), this);
  text->setObjectName(QStringLiteral("version"));
  text->setGeometry(platform::cornerPixels(kTextPlace, base));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("1"));
  ok->setGeometry(platform::cornerPixels(kOkPlace, base));
  ok->setDefault(true);
  ok->setToolTip(QStringLiteral("Close this box"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(platform::cornerPixels(kBoxSize, base).size());
}

}  // namespace velk7
