// The preview as the user sees it: the picture of the half-silent, half-loud recording measured
// where its content lies (no golden image) and the files it is saved to, and the dialog's
// Preview window playing on the clock.
#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <tuple>

#include "platform/path_text.h"
#include "platform/qt/qt_text.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/app/dialog/src/generator_dialog.h"
#include "velk_mur/app/dialog/src/preview_window.h"
#include "velk_mur/generate/folder_passes.h"
#include "velk_mur/preview/preview_picture.h"

namespace {

// An audio folder holding hello.wav, the one-second recording of the worked examples, and
// its generated files.
struct HelloFolder {
  testing_support::TempDir folder;
  velk_mur::RecordingPreview preview;
  HelloFolder() {
    testing_support::writeWav(folder / "hello.wav", testing_support::halfSilentHalfLoud());
    std::filesystem::create_directory(folder / "GEN");
    platform::RecordingMessenger messenger;
    EXPECT_TRUE(velk_mur::generateMissingFiles(folder.path(), messenger).ok);
    velk_mur::PreviewLoad load = velk_mur::loadRecordingPreview(folder.path(), "hello");
    EXPECT_TRUE(load.preview) << load.problem;
    if (load.preview) preview = *load.preview;
  }
};

TEST(PreviewPicture, ShowsTheMouthClosedThenOpenAndTheLedsDarkThenLit) {
  const HelloFolder hello;
  const velk_mur::PreviewLayout layout = velk_mur::previewLayout(hello.preview);
  const QImage image = velk_mur::renderPreviewImage(hello.preview);
  ASSERT_EQ(image.size(), layout.size);
  const auto colorAt = [&](double x, double y) {
    return image.pixelColor(static_cast<int>(x), static_cast<int>(y));
  };
  // The mouth: closed (3 degrees) over the silent half, well open somewhere in the loud half.
  double widest[2] = {0, 0};
  for (double t = 0.02; t < 0.98; t += 0.01) {
    int y = layout.mouth.top();
    while (y <= layout.mouth.bottom() && colorAt(layout.xAt(t), y) != velk_mur::kMouthColor) ++y;
    ASSERT_LE(y, layout.mouth.bottom()) << "no mouth curve at " << t << " s";
    widest[t > 0.2] = std::max(widest[t > 0.2], layout.mouthOpeningAt(y));
  }
  EXPECT_LT(widest[0], 6);
  EXPECT_GT(widest[1], 20);

  // LEDs 0, 1 and 6 to 9 are dark in the silent half and lit in the loud one; 12 and 13 stay
  // dark, 2 to 5, 10 and 11 stay lit (more than four tenths of the recording is silence).
  for (int led = 0; led < 14; ++led) {
    for (auto [t, mask] : {std::pair{0.25, 0x0C3C}, {0.75, 0x0FFF}}) {
      EXPECT_EQ(colorAt(layout.xAt(t), layout.ledRow(led).center().y()),
                (mask >> led) & 1 ? velk_mur::kLedLitColor : velk_mur::kLedDarkColor)
          << led << " at " << t;
    }
  }
  // The time axis is drawn from 0 to the recording's length, across the whole plot width.
  std::vector<int> axis;
  for (int x = 0; x < image.width(); ++x)
    if (colorAt(x, layout.axis.top()) == velk_mur::kAxisColor) axis.push_back(x);
  ASSERT_FALSE(axis.empty());
  EXPECT_NEAR(layout.timeAt(axis.front()), 0.0, 0.002);
  EXPECT_NEAR(layout.timeAt(axis.back()), 1.0, 0.002);
  EXPECT_NEAR(axis.back() - axis.front(), layout.wave.width(), 1);
}

TEST(PreviewPicture, IsSavedAsPngOrSvgByTheFilesExtension) {
  const HelloFolder hello;
  // The file's name, how the file begins, or the problem when it is refused. A build without
  // Qt SVG refuses SVG and writes nothing.
#ifdef VELK_PREVIEW_WITH_SVG
  const char* const svgRefusal = "";
#else
  const char* const svgRefusal = ": this build writes PNG pictures only";
#endif
  for (const auto& [name, startsWith, problem] :
       {std::tuple{"hello.png", "\x89PNG", ""},
        {"Hello.SVG", "<?xml", svgRefusal},
        {"hello.jpg", "", ": the picture's name must end in .png or .svg"},
        {"no/such/folder/hello.png", "", " could not be written"}}) {
    const std::filesystem::path file = hello.folder / name;
    const velk_mur::PictureSaveResult saved = velk_mur::savePreviewPicture(hello.preview, file);
    EXPECT_EQ(saved.saved, *problem == '\0') << name;
    EXPECT_EQ(saved.problem, *problem == '\0' ? "" : platform::pathToText(file) + problem);
    if (saved.saved) {
      EXPECT_EQ(testing_support::readTextFile(file).rfind(startsWith, 0), 0u) << name;
    } else {
      EXPECT_FALSE(std::filesystem::exists(file)) << name;
    }
  }
}

TEST(PreviewWindow, OpensFromTheDialogOnTheChosenRecordingAndCloses) {
  const HelloFolder hello;
  platform::RecordingMessenger messenger;
  testing_support::TempDir home;
  velk_mur::GeneratorDialog dialog(messenger, {home.path(), home.path()});
  dialog.findChild<QLineEdit*>("1006")->setText(
      platform::toQString(platform::pathToText(hello.folder.path())));
  dialog.show();

  bool closed = false;
  QTimer::singleShot(0, [&] {
    auto* choice = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->comboBoxItems(), QStringList{"hello"});
    choice->accept();
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<velk_mur::PreviewWindow*>(QApplication::activeModalWidget());
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(window->windowTitle(), QStringLiteral("Preview - hello"));
      QTest::mouseClick(window->findChild<QPushButton*>("close"), Qt::LeftButton);
      closed = true;
    });
  });
  QTest::mouseClick(dialog.findChild<QPushButton*>("1014"), Qt::LeftButton);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(messenger.entries().empty());
}

TEST(PreviewWindow, PlaysOnTheClockToTheEndOfTheRecordingAndStopsThere) {
  const HelloFolder hello;
  std::chrono::milliseconds now{5000};
  velk_mur::PreviewWindow window(hello.preview, hello.folder / "hello.wav", nullptr,
                                 [&now] { return now; });
  window.show();
  // Without an audio device (as offscreen) the clock drives the animation.
  QTest::mouseClick(window.findChild<QPushButton*>("play"), Qt::LeftButton);
  EXPECT_TRUE(window.isPlaying());
  now += std::chrono::milliseconds(600);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.position() == 0.6; }, 1000));
  EXPECT_TRUE(window.isPlaying());
  now += std::chrono::milliseconds(500);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isPlaying(); }, 1000));
  EXPECT_DOUBLE_EQ(window.position(), 1.0);
}

}  // namespace
