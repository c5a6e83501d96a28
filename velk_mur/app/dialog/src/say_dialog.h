#pragma once
// The small dialog behind "Say...": the text, the voice and its speed and pitch, and the
// recording's name.
#include <QDialog>
#include <string>
#include <vector>

#include "velk_mur/import/import_options.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace velk_mur {

class SayDialog : public QDialog {
  Q_OBJECT

 public:
  // `voices` are offered in the voice list.
  explicit SayDialog(const std::vector<VoiceInfo>& voices, QWidget* parent = nullptr);

  std::string text() const;
  std::string name() const;
  SpeechSettings speech() const;

 private:
  QLineEdit* textEdit_ = nullptr;
  QComboBox* voiceBox_ = nullptr;
  QSpinBox* speedBox_ = nullptr;
  QSpinBox* pitchBox_ = nullptr;
  QLineEdit* nameEdit_ = nullptr;
  bool nameTyped_ = false;  // until then the name follows the text
};

}  // namespace velk_mur
