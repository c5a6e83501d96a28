#include "say_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "platform/qt/qt_text.h"
#include "velk_mur/import/action_names.h"

namespace velk_mur {

namespace {

constexpr int kNameFromTextLength = 24;

}  // namespace

SayDialog::SayDialog(const std::vector<VoiceInfo>& voices, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Say"));
  textEdit_ = new QLineEdit(this);
  textEdit_->setObjectName(QStringLiteral("sayText"));
  textEdit_->setMinimumWidth(textEdit_->fontMetrics().averageCharWidth() * 48);
  voiceBox_ = new QComboBox(this);
  voiceBox_->setObjectName(QStringLiteral("sayVoice"));
  const SpeechSettings defaults;
  for (const VoiceInfo& voice : voices) {
    voiceBox_->addItem(platform::toQString(voice.name + " (" + voice.language + ")"),
                       platform::toQString(voice.language));
    const bool isDefault =
        voice.language == defaults.voice || voice.language.starts_with(defaults.voice + "-");
    if (isDefault && voiceBox_->currentIndex() == 0) {
      voiceBox_->setCurrentIndex(voiceBox_->count() - 1);
    }
  }
  speedBox_ = new QSpinBox(this);
  speedBox_->setObjectName(QStringLiteral("saySpeed"));
  speedBox_->setRange(kMinWordsPerMinute, kMaxWordsPerMinute);
  speedBox_->setValue(defaults.wordsPerMinute);
  speedBox_->setSuffix(QStringLiteral(" words/min"));
  pitchBox_ = new QSpinBox(this);
  pitchBox_->setObjectName(QStringLiteral("sayPitch"));
  pitchBox_->setRange(0, kMaxPitch);
  pitchBox_->setValue(defaults.pitch);
  nameEdit_ = new QLineEdit(this);
  nameEdit_->setObjectName(QStringLiteral("sayName"));

  connect(textEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (nameTyped_) return;
    std::string name = actionNameFromStem(platform::toText(text.trimmed()));
    // The first words, not a word cut in two.
    if (name.size() > kNameFromTextLength) {
      const std::size_t wordEnd = name.rfind('_', kNameFromTextLength);
      name.resize(wordEnd != std::string::npos && wordEnd >= 2 ? wordEnd : kNameFromTextLength);
    }
    nameEdit_->setText(text.trimmed().isEmpty() ? QString() : platform::toQString(name));
  });
  connect(nameEdit_, &QLineEdit::textEdited, this, [this] { nameTyped_ = true; });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Text:"), textEdit_);
  form->addRow(QStringLiteral("Voice:"), voiceBox_);
  form->addRow(QStringLiteral("Speed:"), speedBox_);
  form->addRow(QStringLiteral("Pitch:"), pitchBox_);
  form->addRow(QStringLiteral("Name:"), nameEdit_);
  form->addRow(buttons);
}

std::string SayDialog::text() const {
  return platform::toText(textEdit_->text());
}

std::string SayDialog::name() const {
  return platform::toText(nameEdit_->text());
}

SpeechSettings SayDialog::speech() const {
  SpeechSettings settings;
  if (voiceBox_->currentIndex() >= 0)
    settings.voice = platform::toText(voiceBox_->currentData().toString());
  settings.wordsPerMinute = speedBox_->value();
  settings.pitch = pitchBox_->value();
  return settings;
}

}  // namespace velk_mur
