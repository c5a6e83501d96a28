#pragma once
// The program's window: two path boxes and the buttons that run the commands. It only maps
// widgets and keys onto the command functions.
#include <QDialog>
#include <memory>

#include "platform/messenger.h"
#include "platform/stick_finder.h"
#include "velk_mur/commands/app_settings.h"

class QLineEdit;
class QKeyEvent;
class QDragEnterEvent;
class QDropEvent;

namespace velk_mur {

class StickAssistant;

class GeneratorDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the two paths from the settings file of `environment`; reports through `messenger`.
  // Watches `volumes` for a stick plugged in (the system's when none is given).
  GeneratorDialog(platform::Messenger& messenger, AppEnvironment environment,
                  QWidget* parent = nullptr, platform::VolumeSource* volumes = nullptr);
  ~GeneratorDialog() override;

  PathTexts pathTexts() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Audio files dropped on the dialog are imported into the audio folder.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildControls();
  void chooseFolder(QLineEdit* edit, const QString& title);
  void runGenerate();
  void runTest();
  void runSaveToStick();
  void runAbout();
  void runPreview();
  void runImport();
  void runSay();
  void importFiles(const QStringList& paths);

  platform::Messenger& messenger_;
  AppEnvironment environment_;
  QLineEdit* stickPathEdit_ = nullptr;
  QLineEdit* audioPathEdit_ = nullptr;
  platform::SystemVolumes systemVolumes_;
  std::unique_ptr<StickAssistant> stick_;
};

}  // namespace velk_mur
