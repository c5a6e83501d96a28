#include "velk_mur/stick/save_journal.h"

#include <charconv>
#include <set>
#include <string_view>

#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "save_files.h"
#include "save_messages.h"
#include "stick_file.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kSaveFilesName = "OPEN-R/MW/CONF/SAVE";
constexpr std::string_view kJournalExtension = "JNL";
constexpr std::string_view kLockExtension = "LCK";
constexpr std::string_view kJournalHeading = "VELK_MUR save journal 1\n";
constexpr std::string_view kJournalEnd = "end\n";

constexpr std::string_view kBusy =
    "Another save to this memory stick is running\nWait until it has finished, then try again";
constexpr std::string_view kFinished =
    "An interrupted save to the memory stick was finished: the stick holds its new actions";
constexpr std::string_view kUndone =
    "An interrupted save to the memory stick was undone: its unfinished files were removed";

fs::path onStick(const fs::path& stickRoot, const std::string& relative) {
  return stickRoot / fs::path(relative);
}

std::string journalText(const std::vector<Replacement>& replacements) {
  std::string text(kJournalHeading);
  for (const Replacement& r : replacements) {
    text.append(std::to_string(r.size)).append("\t").append(r.temporary).append("\t");
    text.append(r.target).append("\n");
  }
  return text.append(kJournalEnd);
}

// The journal's replacements when it is whole and names only a save's own files; a journal
// cut short by a crash while it was written is no journal.
std::optional<std::vector<Replacement>> parseJournal(std::string_view text) {
  if (!text.starts_with(kJournalHeading) || !text.ends_with(kJournalEnd)) return std::nullopt;
  text.remove_prefix(kJournalHeading.size());
  text.remove_suffix(kJournalEnd.size());
  std::vector<Replacement> expected = saveReplacements();
  const std::vector<platform::TextLine> lines = platform::splitLines(text);
  if (lines.size() != expected.size()) return std::nullopt;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    Replacement& r = expected[k];
    const std::string_view line = lines[k].content;
    const std::string tail = "\t" + r.temporary + "\t" + r.target;
    if (!line.ends_with(tail)) return std::nullopt;
    const std::string_view number = line.substr(0, line.size() - tail.size());
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), r.size);
    if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;
  }
  return expected;
}

bool reportFailure(const fs::path& file, platform::Messenger& messenger) {
  messenger.show(stepFailureText(platform::pathToText(file), "finishing an interrupted save"),
                 true);
  return false;
}

enum class Step { Pending, Done, Broken };

// Where one replacement stands: its new file still waiting with the journal's size, already
// renamed over its target, or neither.
Step stepOf(const fs::path& stickRoot, const Replacement& r, fs::path& concerned) {
  concerned = onStick(stickRoot, r.temporary);
  switch (platform::fileState(concerned)) {
    case platform::FileState::Present:
      return platform::fileSize(concerned) == r.size ? Step::Pending : Step::Broken;
    case platform::FileState::Unknown:
      return Step::Broken;
    case platform::FileState::Absent:
      break;
  }
  concerned = onStick(stickRoot, r.target);
  return platform::fileSize(concerned) == r.size ? Step::Done : Step::Broken;
}

}  // namespace

std::vector<Replacement> saveReplacements() {
  std::vector<Replacement> list;
  for (const NewFileKind& kind : kNewFiles) {
    list.push_back({platform::dottedName(kind.stickName, kNewFileExtension),
                    platform::dottedName(kind.stickName, kind.extension), 0});
  }
  return list;
}

fs::path journalPath(const fs::path& stickRoot) {
  return stickFilePath(stickRoot, kSaveFilesName, kJournalExtension);
}

std::optional<platform::FileLock> lockStick(const fs::path& stickRoot,
                                            platform::Messenger& messenger, bool quiet) {
  const fs::path path = stickFilePath(stickRoot, kSaveFilesName, kLockExtension);
  std::optional<platform::FileLock> lock;
  const platform::LockOutcome outcome = platform::FileLock::acquire(path, lock);
  if (quiet) return lock;
  switch (outcome) {
    case platform::LockOutcome::Acquired:
      break;
    case platform::LockOutcome::HeldByOther:
      messenger.show(kBusy, true);
      break;
    case platform::LockOutcome::Failed:
      // Where no lock file can be made, no new file can be either: a protected or full stick.
      messenger.show(kCatalogueCreateFailed, true);
      break;
  }
  return lock;
}

platform::FileOutcome writeJournal(const fs::path& stickRoot,
                                   const std::vector<Replacement>& replacements) {
  const fs::path path = journalPath(stickRoot);
  const std::string text = journalText(replacements);
  platform::FileOutcome written = platform::writeFlushed(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (written) written = platform::flushFolder(path.parent_path());
  if (!written) platform::removeFile(path);
  return written;
}

std::optional<fs::path> replaceAll(const fs::path& stickRoot,
                                   const std::vector<Replacement>& replacements) {
  std::set<fs::path> folders;
  for (const Replacement& r : replacements) {
    const fs::path temporary = onStick(stickRoot, r.temporary);
    const fs::path target = onStick(stickRoot, r.target);
    folders.insert(target.parent_path());
    // A new file already renamed by an earlier, interrupted attempt is absent now.
    if (platform::fileState(temporary) == platform::FileState::Absent) continue;
    if (!platform::renameFile(temporary, target)) return target;
  }
  for (const fs::path& folder : folders) {
    if (!platform::flushFolder(folder)) return folder;
  }
  const fs::path journal = journalPath(stickRoot);
  // The save is complete and on the device; a journal that stays is finished again harmlessly.
  if (platform::removeFile(journal)) platform::flushFolder(journal.parent_path());
  return std::nullopt;
}

std::optional<fs::path> removeSaveLeftovers(const fs::path& stickRoot) {
  std::vector<fs::path> leftovers;
  for (const Replacement& r : saveReplacements()) {
    leftovers.push_back(onStick(stickRoot, r.temporary));
  }
  // The journal last: while any new file stays, it still says what they are.
  leftovers.push_back(journalPath(stickRoot));
  for (const fs::path& file : leftovers) {
    const platform::FileState state = platform::fileState(file);
    if (state == platform::FileState::Unknown) return file;
    if (state == platform::FileState::Present && !platform::removeFile(file)) return file;
  }
  return std::nullopt;
}

bool finishInterruptedSave(const fs::path& stickRoot, platform::Messenger& messenger) {
  const fs::path journal = journalPath(stickRoot);
  std::optional<std::vector<Replacement>> replacements;
  switch (platform::fileState(journal)) {
    case platform::FileState::Unknown:
      return reportFailure(journal, messenger);
    case platform::FileState::Present: {
      const std::optional<platform::Bytes> bytes = platform::readWholeFile(journal);
      if (!bytes) return reportFailure(journal, messenger);
      replacements = parseJournal(
          std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
      break;
    }
    case platform::FileState::Absent:
      break;
  }

  if (replacements) {
    int done = 0;
    bool anyWaiting = false;
    std::optional<fs::path> broken;
    for (const Replacement& r : *replacements) {
      fs::path concerned;
      const Step step = stepOf(stickRoot, r, concerned);
      if (step == Step::Done) ++done;
      if (step == Step::Broken && !broken) broken = concerned;
      anyWaiting = anyWaiting || concerned == onStick(stickRoot, r.temporary);
    }
    // Every new file already in place: the files were changed since, by someone else, and the
    // journal has nothing left to finish.
    if (!anyWaiting && broken) {
      if (!platform::removeFile(journal)) return reportFailure(journal, messenger);
      return true;
    }
    if (!broken) {
      if (const std::optional<fs::path> failed = replaceAll(stickRoot, *replacements)) {
        return reportFailure(*failed, messenger);
      }
      // A save that only lacked the removal of its journal was complete already.
      if (done < static_cast<int>(replacements->size())) messenger.show(kFinished, false);
      return true;
    }
    // Once a target is replaced the old stick is gone; only going forward is left.
    if (done > 0) return reportFailure(*broken, messenger);
  }

  bool anyLeft = false;
  for (const Replacement& r : saveReplacements()) {
    anyLeft = anyLeft ||
              platform::fileState(onStick(stickRoot, r.temporary)) != platform::FileState::Absent;
  }
  anyLeft = anyLeft || platform::fileState(journal) != platform::FileState::Absent;
  if (!anyLeft) return true;
  if (const std::optional<fs::path> failed = removeSaveLeftovers(stickRoot)) {
    return reportFailure(*failed, messenger);
  }
  platform::flushFolder(journal.parent_path());
  messenger.show(kUndone, false);
  return true;
}

bool recoverInterruptedSave(const fs::path& stickRoot, platform::Messenger& messenger) {
  const std::optional<platform::FileLock> lock = lockStick(stickRoot, messenger, true);
  // A save that runs now owns its files and finishes them itself; a stick that cannot be
  // locked cannot be written either, and the save says so.
  if (!lock) return true;
  return finishInterruptedSave(stickRoot, messenger);
}

}  // namespace velk_mur
