#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stick_fixture.h"
#include "velk7/rcode/catalogue.h"

namespace velk7 {
namespace {

using testing::StickFixture;
using testing_support::writeTextFile;

// An empty message: the check passes silently, here with the files' names in lower case.
TEST(CheckInstallation, PassesSilentlyOrGivesTheFailingFilesMessage) {
  const std::string invalid = "ERROR: Invalid ACTION.EXT ";
  const std::vector<std::pair<std::string, std::vector<std::optional<std::string>>>> cases = {
      {"", {"ERS-07\r\nmore\n", "x ERS-+7x"}},
      {"ERROR: Missing ACTION.EXT - please reinstall\n", {std::nullopt}},
      {invalid + "(no ERS-??? tag) - please reinstall\n",
       {"\r\nERS-7\r\n", "ers-7\n", std::string(255, ' ') + "ERS-7\n"}},
      {invalid + "(not for ERS-7) - please reinstall\n", {"ERS-2 ERS-7\n", "ERS-70\n"}},
      // The one message without a path: ACTION.EXT is right but ERS-7.MWC is missing.
      {invalid + "(does not match MW model number) - please reinstall", {"ERS-7\n"}}};
  for (const auto& [message, exts] : cases) {
    for (const std::optional<std::string>& ext : exts) {
      StickFixture stick;
      if (ext) stick.write(message.empty() ? "action.ext" : "ACTION.EXT", *ext);
      const bool withPath = !message.empty() && message.back() == '\n';
      if (message.empty() || withPath) writeTextFile(stick.root / "OPEN-R/mw/conf/ers-7.mwc", "M");
      platform::RecordingMessenger messenger;
      EXPECT_EQ(checkInstallation(stick.program(), messenger), message.empty()) << ext.value_or("");
      const std::string text = message + (withPath ? (stick.ams() / "ACTION.EXT").string() : "");
      EXPECT_EQ(messenger.texts(),
                message.empty() ? std::vector<std::string>{} : std::vector{text});
    }
  }
}

TEST(ReadCatalogue, AcceptableLinesBecomeEntries) {
  const std::string longName(100, 'N');
  const std::tuple<const char*, std::string, std::vector<PaletteEntry>> cases[] = {
      // Lines written by the user-action generator: name padded to 16, fields tab-separated.
      {"ACTION.CFG",
       "HELLO           \t24001\t0\tHELLO.WAV + motion + leds\r\n",
       {{"HELLO", LineKind::User, "PLAY ACTION+ HELLO // HELLO.WAV + motion + leds\377WAIT"}}},
      // Lines breaking the field rules are skipped; the rest of a line is its comment.
      {"ACTION.EXT",
       "// ERS-7 actions\n-HIDDEN 1 0\nTWO 1\nZERO 0 0\nNEGATIVE -3 0\nWORD abc 0\nONE 1 1\n"
       "OK_WORD 5 none\nSIT 2 0 ; sit down\nKICK_NOWAIT 3 -0\n\n   \t\nCR_ONLY 4 0 x\ry\n",
       {{"OK_WORD", LineKind::Sys, "PLAY ACTION OK_WORD\377WAIT"},
        {"SIT", LineKind::Sys, "PLAY ACTION SIT // sit down\377WAIT"},
        {"KICK_NOWAIT", LineKind::Move, "PLAY ACTION KICK_NOWAIT"},
        {"CR_ONLY", LineKind::Sys, "PLAY ACTION CR_ONLY // x\ry\377WAIT"}}},
      // A long line is read as pieces of 255; FIRST's part would be too long.
      {"ACTION.CFG",
       "FIRST 1 0 " + std::string(245, 'c') + "SECOND 2 0 tail\r\nLAST 3 0\r\n",
       {{"SECOND", LineKind::User, "PLAY ACTION+ SECOND // tail\377WAIT"},
        {"LAST", LineKind::User, "PLAY ACTION+ LAST\377WAIT"}}},
      // A long name is cut in the label but played whole.
      {"ACTION.CFG",
       longName + " 1 0\n",
       {{std::string(63, 'N'), LineKind::User, "PLAY ACTION+ " + longName + "\377WAIT"}}},
      {"ACTION.CFG", "-A 1 0\nB 0 0\n", {}}};
  for (const auto& [file, text, entries] : cases) {
    StickFixture stick;
    stick.write(file, text);
    const char* verb = std::string_view(file) == "ACTION.CFG" ? "ACTION+" : "ACTION";
    std::vector<PaletteEntry> palette;
    EXPECT_EQ(readCatalogue(palette, stick.program(), file, verb), !entries.empty()) << text;
    EXPECT_EQ(palette, entries) << text;
  }
}

}  // namespace
}  // namespace velk7
