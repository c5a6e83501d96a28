// The preview as the user sees it: the picture of the half-silent, half-loud recording measured
// where its content lies (no golden image), the files it is saved to, and the dialog's Preview
// window playing on the clock.
#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/app/src/generator_dialog.h"
#include "velk_mur/app/src/preview_window.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/preview/preview_picture.h"

namespace fs = std::filesystem;

namespace {

// An audio folder holding hello.wav, the one-second recording of the worked examples, and
// its generated files.
struct HelloFolder {
  testing_support::TempDir folder;
  HelloFolder() {
    testing_support::writeWav(folder / "hello.wav", testing_support::halfSilentHalfLoud());
    fs::create_directory(folder / "GEN");
    platform::RecordingMessenger messenger;
    EXPECT_TRUE(velk_mur::generateMissingFiles(folder.path(), messenger).ok);
  }
  velk_mur::RecordingPreview preview() const {
    velk_mur::PreviewLoad load = velk_mur::loadRecordingPreview(folder.path(), "hello");
    EXPECT_TRUE(load.preview) << load.problem;
    return load.preview ? *load.preview : velk_mur::RecordingPreview{};
  }
};

// The rows of a column where the picture has `color`, as the mean row; -1 when none.
double rowOfColor(const QImage& image, double x, const QRect& within, const QColor& color) {
  double sum = 0;
  int count = 0;
  for (int y = within.top(); y <= within.bottom(); ++y) {
    if (image.pixelColor(static_cast<int>(x), y) == color) {
      sum += y;
      ++count;
    }
  }
  return count > 0 ? sum / count : -1;
}

TEST(PreviewPicture, ShowsTheMouthClosedThenOpenAndTheLedsDarkThenLitOverTheLength) {
  const HelloFolder hello;
  const velk_mur::RecordingPreview preview = hello.preview();
  const velk_mur::PreviewLayout layout = velk_mur::previewLayout(preview);
  const QImage image = velk_mur::renderPreviewImage(preview);
  ASSERT_EQ(image.size(), layout.size);

  // The mouth: closed (3 degrees) over the silent half, well open somewhere in the loud half.
  double widestSilent = 0;
  double widestLoud = 0;
  for (double t = 0.02; t < 0.98; t += 0.01) {
    const double y = rowOfColor(image, layout.xAt(t), layout.mouth, velk_mur::kMouthColor);
    ASSERT_GE(y, 0) << "no mouth curve at " << t << " s";
    const double opening = layout.mouthOpeningAt(y);
    (t < 0.2 ? widestSilent : widestLoud) = std::max(t < 0.2 ? widestSilent : widestLoud, opening);
  }
  EXPECT_LT(widestSilent, 6);
  EXPECT_GT(widestLoud, 20);

  // LEDs 0, 1 and 6 to 9 are dark in the silent half and lit in the loud one; 12 and 13 stay
  // dark, 2 to 5, 10 and 11 stay lit (more than four tenths of the recording is silence).
  const auto colorAt = [&](int led, double t) {
    return image.pixelColor(static_cast<int>(layout.xAt(t)),
                            static_cast<int>(layout.ledRow(led).center().y()));
  };
  for (int led = 0; led < 14; ++led) {
    SCOPED_TRACE(led);
    const bool litEarly = (0x0C3C >> led) & 1;
    const bool litLate = (0x0FFF >> led) & 1;
    EXPECT_EQ(colorAt(led, 0.25), litEarly ? velk_mur::kLedLitColor : velk_mur::kLedDarkColor);
    EXPECT_EQ(colorAt(led, 0.75), litLate ? velk_mur::kLedLitColor : velk_mur::kLedDarkColor);
  }

  // The time axis is drawn from 0 to the recording's length, across the whole plot width.
  int first = -1;
  int last = -1;
  for (int x = 0; x < image.width(); ++x) {
    if (image.pixelColor(x, layout.axis.top()) == velk_mur::kAxisColor) {
      if (first < 0) first = x;
      last = x;
    }
  }
  EXPECT_NEAR(layout.timeAt(first), 0.0, 0.002);
  EXPECT_NEAR(layout.timeAt(last), 1.0, 0.002);
  EXPECT_NEAR(last - first, layout.wave.width(), 1);
}

TEST(PreviewPicture, IsSavedAsPngOrSvgByItsExtension) {
  const HelloFolder hello;
  const velk_mur::RecordingPreview preview = hello.preview();
  const std::pair<const char*, const char*> rows[] = {{"hello.png", "\x89PNG"},
                                                      {"Hello.SVG", "<?xml"}};
  for (const auto& [name, startsWith] : rows) {
    const fs::path file = hello.folder / name;
    char problem[200] = "";
    EXPECT_EQ(velk_mur_render_preview(&preview, file.string().c_str(), problem, sizeof problem), 1)
        << problem;
    EXPECT_EQ(testing_support::readTextFile(file).rfind(startsWith, 0), 0u) << name;
  }
}

TEST(PreviewWindow, OpensFromTheDialogPlaysOnTheClockAndCloses) {
  const HelloFolder hello;
  platform::RecordingMessenger messenger;
  testing_support::TempDir home;
  velk_mur::GeneratorDialog dialog(messenger, {home.path(), home.path()});
  dialog.findChild<QLineEdit*>("1006")->setText(
      QString::fromStdString(hello.folder.path().string()));
  dialog.show();

  bool played = false;
  bool closed = false;
  QTimer::singleShot(0, [&] {
    auto* choice = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->comboBoxItems(), QStringList{"hello"});
    choice->accept();
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<velk_mur::PreviewWindow*>(QApplication::activeModalWidget());
      ASSERT_NE(window, nullptr);
      // Without an audio device (as offscreen) the clock drives the animation.
      QTest::mouseClick(window->findChild<QPushButton*>("play"), Qt::LeftButton);
      EXPECT_TRUE(window->isPlaying());
      // The cursor runs on the clock to the end of the recording, and stops there.
      QTRY_VERIFY_WITH_TIMEOUT(window->position() > 0.5, 3000);
      played = window->isPlaying() || window->position() >= 1.0;
      QTRY_VERIFY_WITH_TIMEOUT(!window->isPlaying(), 3000);
      EXPECT_DOUBLE_EQ(window->position(), 1.0);
      QTest::mouseClick(window->findChild<QPushButton*>("close"), Qt::LeftButton);
      closed = true;
    });
  });
  QTest::mouseClick(dialog.findChild<QPushButton*>("1014"), Qt::LeftButton);
  EXPECT_TRUE(played);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(messenger.entries().empty());
}

}  // namespace
