#include "program_chooser.h"

#include <QFileDialog>
#include <system_error>

#include "platform/path_text.h"
#include "platform/qt/qt_text.h"

namespace velk7 {

namespace {

namespace fs = std::filesystem;

// A file dialog that also accepts a stick's folder: Open on a folder that holds the program
// takes it, on any other folder it goes into it as usual.
class ProgramFileDialog : public QFileDialog {
 public:
  explicit ProgramFileDialog(QWidget* parent)
      : QFileDialog(parent, QStringLiteral("Open R-CODE.R or the memory stick's folder")) {
    setFileMode(QFileDialog::ExistingFile);
    setNameFilters(
        {QStringLiteral("R-CODE program (R-CODE.R *.R)"), QStringLiteral("All files (*)")});
    // The toolkit's own dialog, so that a folder can be chosen as well as a file.
    setOption(QFileDialog::DontUseNativeDialog);
  }

  std::optional<fs::path> chosen;

  void accept() override {
    const QStringList selected = selectedFiles();
    if (!selected.isEmpty()) {
      const fs::path path = platform::textToPath(platform::toText(selected.first()));
      std::error_code error;
      if (fs::is_directory(path, error) && fs::is_regular_file(programBelow(path), error)) {
        chosen = programBelow(path);
        done(QDialog::Accepted);
        return;
      }
    }
    QFileDialog::accept();
    if (result() == QDialog::Accepted && !selectedFiles().isEmpty()) {
      chosen = platform::textToPath(platform::toText(selectedFiles().first()));
    }
  }
};

}  // namespace

fs::path programBelow(const fs::path& folder) {
  return folder / "OPEN-R" / "APP" / "PC" / "AMS" / "R-CODE.R";
}

std::optional<fs::path> chooseProgramFile(QWidget* parent) {
  ProgramFileDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen;
}

}  // namespace velk7
