#include "stick_choice.h"

#include <QInputDialog>
#include <QStringList>

#include "platform/case_path.h"
#include "platform/path_text.h"
#include "platform/qt/qt_text.h"

namespace velk7 {

std::optional<std::filesystem::path> programOnPluggedStick(platform::VolumeSource& volumes,
                                                           QWidget* parent) {
  const std::vector<platform::Volume> sticks =
      platform::findSticks(volumes, platform::kProgramStickMarker).volumes;
  if (sticks.empty()) return std::nullopt;
  std::size_t chosen = 0;
  if (sticks.size() > 1) {
    QStringList names;
    for (const platform::Volume& stick : sticks) {
      names << platform::toQString(platform::describeStick(stick));
    }
    bool picked = false;
    const QString name = QInputDialog::getItem(
        parent, QStringLiteral("VELK7"),
        QStringLiteral("Several memory sticks are plugged in. Open the program on:"), names, 0,
        false, &picked);
    if (!picked) return std::nullopt;
    chosen = static_cast<std::size_t>(names.indexOf(name));
  }
  return platform::resolveCase(sticks[chosen].root /
                               platform::textToPath(platform::kProgramStickMarker));
}

}  // namespace velk7
