#pragma once
// The About box: the program's icon, its version, and an OK button.
#include <QDialog>

namespace velk7 {

inline constexpr const char* kAboutTitle = "About VELK7";
inline constexpr const char* kAboutText = "VELK Version 7.01";
inline constexpr const char* kAboutMenuText = "&About VELK7...";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace velk7
