#pragma once
// The About box: the program's icon, its version, and an OK button.
#include <QDialog>

namespace velk7 {

inline constexpr const char* kAboutTitle = "About VELK7";
// "VELK Version " and the program's version.
QString aboutText();
inline constexpr const char* kAboutMenuText = "&About VELK7...";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace velk7
