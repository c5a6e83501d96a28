#include "velk_mur/stick/save_journal.h"

#include <charconv>
#include <set>
#include <string_view>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "save_files.h"
#include "save_messages.h"
#include "stick_file.h"
#include "velk_mur/stick/stick_inspection.h"

namespace fs = std::filesystem;

namespace velk_mur {

namespace {

constexpr std::string_view kSaveFilesName = "OPEN-R/MW/CONF/SAVE";
constexpr std::string_view kJournalExtension = "JNL";
constexpr std::string_view kLockExtension = "LCK";
// The old file's name from the moment the new one is put in place until the save is complete.
constexpr std::string_view kAsideExtension = "OLD";
constexpr std::string_view kJournalHeading = "VELK_MUR save journal 2\n";
constexpr std::string_view kAudioField = "audio\t";
constexpr std::string_view kJournalEnd = "end\n";

constexpr std::string_view kBusy =
    "Another save to this memory stick is running\nWait until it has finished, then try again";
constexpr std::string_view kFinished =
    "An interrupted save to the memory stick was finished: the stick holds its new actions";
constexpr std::string_view kUndone =
    "An interrupted save to the memory stick was undone: the stick holds its actions from before";
constexpr std::string_view kTidied =
    "An interrupted save to the memory stick was undone: its unfinished files were removed";

fs::path onStick(const fs::path& stickRoot, const std::string& relative) {
  return stickRoot / platform::textToPath(relative);
}

std::string checksumText(std::uint64_t value) {
  char digits[17];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return std::string(digits, end);
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value, int base = 10) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc{} && end == text.data() + text.size();
}

std::string journalText(const SaveJournal& journal) {
  std::string text(kJournalHeading);
  text.append(kAudioField).append(platform::pathToText(journal.audioFolder)).append("\n");
  for (const Replacement& r : journal.replacements) {
    text.append(std::to_string(r.written.size)).append("\t");
    text.append(checksumText(r.written.value)).append(r.replacesOld ? "\t1\t" : "\t0\t");
    text.append(r.temporary).append("\t").append(r.target).append("\t").append(r.aside);
    text.append("\n");
  }
  return text.append(kJournalEnd);
}

// One replacement's line: its size, checksum and whether it replaces an old file, then the
// three names, which must be the save's own.
bool parseReplacement(std::string_view line, Replacement& r) {
  const std::string names = "\t" + r.temporary + "\t" + r.target + "\t" + r.aside;
  if (!line.ends_with(names)) return false;
  line.remove_suffix(names.size());
  const std::size_t sizeEnd = line.find('\t');
  const std::size_t checksumEnd = line.find('\t', sizeEnd + 1);
  if (checksumEnd == std::string_view::npos) return false;
  const std::string_view old = line.substr(checksumEnd + 1);
  if (old != "0" && old != "1") return false;
  r.replacesOld = old == "1";
  return parseNumber(line.substr(0, sizeEnd), r.written.size) &&
         parseNumber(line.substr(sizeEnd + 1, checksumEnd - sizeEnd - 1), r.written.value, 16);
}

// The journal when it is whole and names only a save's own files; a journal cut short while it
// was written is no journal (nothing was renamed before it was complete on the stick).
std::optional<SaveJournal> parseJournal(std::string_view text) {
  if (!text.starts_with(kJournalHeading) || !text.ends_with(kJournalEnd)) return std::nullopt;
  text.remove_prefix(kJournalHeading.size());
  text.remove_suffix(kJournalEnd.size());
  const std::vector<platform::TextLine> lines = platform::splitLines(text);
  SaveJournal journal;
  journal.replacements = saveReplacements();
  if (lines.size() != journal.replacements.size() + 1) return std::nullopt;
  if (!lines[0].content.starts_with(kAudioField)) return std::nullopt;
  journal.audioFolder = platform::textToPath(lines[0].content.substr(kAudioField.size()));
  for (std::size_t k = 0; k < journal.replacements.size(); ++k) {
    if (!parseReplacement(lines[k + 1].content, journal.replacements[k])) return std::nullopt;
  }
  return journal;
}

// `path` with its extension replaced by `extension`, spelled in lower case when the path's own
// extension is: a stick copied by another system may spell its names so.
fs::path respelled(const fs::path& path, std::string_view extension) {
  const std::string name = platform::pathToText(path.filename());
  const std::size_t dot = name.rfind('.');
  const std::string own = dot == std::string::npos ? "" : name.substr(dot + 1);
  const bool lower = platform::toLowerAscii(own) == own && !own.empty();
  return platform::withExtension(path, lower ? platform::toLowerAscii(extension) : extension);
}

// The three names of a replacement as spelled on the stick: the old file keeps its spelling
// when it steps aside and when it (or the new file) takes the target's name again.
struct Names {
  fs::path temporary, target, aside;
};
Names namesOf(const fs::path& stickRoot, const Replacement& r) {
  Names names{platform::listedSpelling(onStick(stickRoot, r.temporary)),
              platform::listedSpelling(onStick(stickRoot, r.target)),
              platform::listedSpelling(onStick(stickRoot, r.aside))};
  const std::string targetExtension = platform::pathToText(fs::path(r.target).extension());
  if (platform::fileState(names.target) == platform::FileState::Present ||
      platform::fileState(names.aside) != platform::FileState::Present) {
    names.aside = respelled(names.target, kAsideExtension);
  } else {
    names.target = respelled(names.aside, std::string_view(targetExtension).substr(1));
  }
  return names;
}

std::string fileTitle(const fs::path& path) {
  return platform::pathToText(platform::resolveCase(path).filename());
}

bool report(std::string_view text, platform::Messenger& messenger) {
  messenger.show(text, true);
  return false;
}

// A step of the recovery failed: the stick's own reason when it has one, else the file.
bool reportFailure(const fs::path& stickRoot, const fs::path& file, platform::FileError error,
                   platform::Messenger& messenger) {
  const std::string_view stickText =
      stickFailureText(stickError(error, stickRoot), SavePhase::Recovering);
  if (!stickText.empty()) return report(stickText, messenger);
  return report(stepFailureText(platform::pathToText(file), "finishing an interrupted save"),
                messenger);
}

// Where each of a replacement's copies is: the new file complete under its own name or the
// target's, the old one under the target's or its aside name (or never there).
struct Copies {
  fs::path temporary, target, aside;
  platform::FileState atTemporary = platform::FileState::Absent;
  platform::FileState atTarget = platform::FileState::Absent;
  platform::FileState atAside = platform::FileState::Absent;
  bool newAtTemporary = false;
  bool newAtTarget = false;
  bool hasNew() const { return newAtTemporary || newAtTarget; }
};

bool holds(const fs::path& file, const platform::FileChecksum& written) {
  const std::optional<platform::FileChecksum> found = platform::fileChecksum(file, false);
  return found && *found == written;
}

std::optional<Copies> findCopies(const fs::path& stickRoot, const Replacement& r,
                                 fs::path& unknown) {
  const Names names = namesOf(stickRoot, r);
  Copies c{names.temporary, names.target, names.aside};
  c.atTemporary = platform::fileState(c.temporary);
  c.atTarget = platform::fileState(c.target);
  c.atAside = platform::fileState(c.aside);
  for (const auto& [state, path] :
       {std::pair{c.atTemporary, c.temporary}, std::pair{c.atTarget, c.target},
        std::pair{c.atAside, c.aside}}) {
    if (state == platform::FileState::Unknown) {
      unknown = path;
      return std::nullopt;
    }
  }
  c.newAtTemporary = c.atTemporary == platform::FileState::Present && holds(c.temporary, r.written);
  c.newAtTarget =
      !c.newAtTemporary && c.atTarget == platform::FileState::Present && holds(c.target, r.written);
  return c;
}

bool hasOld(const Copies& c, const Replacement& r) {
  return !r.replacesOld || c.atAside == platform::FileState::Present ||
         (c.atTarget == platform::FileState::Present && !c.newAtTarget);
}

std::set<fs::path> foldersOf(const fs::path& stickRoot) {
  std::set<fs::path> folders;
  for (const Replacement& r : saveReplacements()) {
    folders.insert(onStick(stickRoot, r.target).parent_path());
  }
  return folders;
}

std::optional<CommitFailure> flushFolders(const fs::path& stickRoot) {
  for (const fs::path& folder : foldersOf(stickRoot)) {
    if (const platform::FileOutcome flushed = platform::flushFolder(folder); !flushed) {
      return CommitFailure{folder, flushed.error};
    }
  }
  return std::nullopt;
}

// The journal goes last: while any other file of the save is left, it says what they are.
std::optional<CommitFailure> removeJournal(const fs::path& stickRoot) {
  const fs::path journal = journalPath(stickRoot);
  if (platform::fileState(journal) == platform::FileState::Absent) return std::nullopt;
  if (!platform::removeFile(journal)) return CommitFailure{journal, platform::FileError::Io};
  if (const platform::FileOutcome flushed = platform::flushFolder(journal.parent_path());
      !flushed) {
    return CommitFailure{journal.parent_path(), flushed.error};
  }
  return std::nullopt;
}

// Puts the old copies back where the new save could not be completed, and drops the new ones.
std::optional<CommitFailure> rollBack(const fs::path& stickRoot, const std::vector<Copies>& all) {
  for (const Copies& c : all) {
    const bool oldAside = c.atAside == platform::FileState::Present;
    // The target holds the new file (or a twin of the old one kept aside): it makes way.
    const bool targetGoes =
        c.atTarget == platform::FileState::Present && (c.newAtTarget || oldAside);
    if (targetGoes && !platform::removeFile(c.target)) return CommitFailure{c.target};
    if (oldAside && (targetGoes || c.atTarget == platform::FileState::Absent)) {
      if (const platform::FileOutcome renamed = platform::renameFile(c.aside, c.target); !renamed) {
        return CommitFailure{c.target, renamed.error};
      }
    }
    if (c.atTemporary == platform::FileState::Present && !platform::removeFile(c.temporary)) {
      return CommitFailure{c.temporary};
    }
  }
  if (auto failed = flushFolders(stickRoot)) return failed;
  return removeJournal(stickRoot);
}

// Without a journal that can be read whole, no rename was made: the new files are removed, and
// an old file left under its aside name (the journal lost after all) goes back in place.
std::optional<CommitFailure> tidyLeftovers(const fs::path& stickRoot, bool& anyLeft) {
  for (const Replacement& r : saveReplacements()) {
    const auto [temporary, target, aside] = namesOf(stickRoot, r);
    const platform::FileState atTemporary = platform::fileState(temporary);
    const platform::FileState atAside = platform::fileState(aside);
    if (atTemporary == platform::FileState::Unknown) return CommitFailure{temporary};
    if (atAside == platform::FileState::Unknown) return CommitFailure{aside};
    if (atTemporary == platform::FileState::Present) {
      anyLeft = true;
      if (!platform::removeFile(temporary)) return CommitFailure{temporary};
    }
    if (atAside == platform::FileState::Absent) continue;
    anyLeft = true;
    const platform::FileState atTarget = platform::fileState(target);
    if (atTarget == platform::FileState::Unknown) return CommitFailure{target};
    if (atTarget == platform::FileState::Present) {
      if (!platform::removeFile(aside)) return CommitFailure{aside};
    } else if (const platform::FileOutcome renamed = platform::renameFile(aside, target);
               !renamed) {
      return CommitFailure{target, renamed.error};
    }
  }
  const platform::FileState journal = platform::fileState(journalPath(stickRoot));
  if (journal == platform::FileState::Unknown) return CommitFailure{journalPath(stickRoot)};
  anyLeft = anyLeft || journal == platform::FileState::Present;
  if (!anyLeft) return std::nullopt;
  if (auto failed = flushFolders(stickRoot)) return failed;
  return removeJournal(stickRoot);
}

// The files a stick needs and does not hold, by their names on the stick.
std::vector<std::string> missingFiles(const fs::path& stickRoot) {
  return inspectStick(stickRoot).missing;
}

Recovery ended(const fs::path& stickRoot, std::string_view done, platform::Messenger& messenger,
               const fs::path& audioFolder = {}) {
  Recovery recovery;
  recovery.lost = missingFiles(stickRoot);
  recovery.audioFolder = audioFolder;
  if (!recovery.lost.empty()) {
    recovery.status = Recovery::Status::LostFiles;
    return recovery;
  }
  messenger.show(done, false);
  recovery.status = Recovery::Status::Whole;
  return recovery;
}

Recovery failed(const fs::path& stickRoot, const CommitFailure& failure,
                platform::Messenger& messenger) {
  reportFailure(stickRoot, failure.file, failure.error, messenger);
  return Recovery{Recovery::Status::Failed, {}, {}};
}

// The configuration keeps blocks that only the stick holds: before the lost files are written
// anew, a complete copy of it, new or old, goes in place.
std::optional<CommitFailure> keepConfiguration(const Copies& c, bool& kept) {
  kept = true;
  if (c.atTarget == platform::FileState::Present) return std::nullopt;
  const fs::path& from = c.newAtTemporary                            ? c.temporary
                         : c.atAside == platform::FileState::Present ? c.aside
                                                                     : fs::path();
  if (from.empty()) {
    kept = false;
    return std::nullopt;
  }
  if (const platform::FileOutcome renamed = platform::renameFile(from, c.target); !renamed) {
    return CommitFailure{c.target, renamed.error};
  }
  if (const platform::FileOutcome flushed = platform::flushFolder(c.target.parent_path());
      !flushed) {
    return CommitFailure{c.target.parent_path(), flushed.error};
  }
  return std::nullopt;
}

Recovery resolve(const fs::path& stickRoot, const SaveJournal& journal,
                 platform::Messenger& messenger) {
  std::vector<Copies> all;
  bool everyNew = true;
  bool everyOld = true;
  for (const Replacement& r : journal.replacements) {
    fs::path unknown;
    std::optional<Copies> copies = findCopies(stickRoot, r, unknown);
    if (!copies) return failed(stickRoot, CommitFailure{unknown}, messenger);
    everyNew = everyNew && copies->hasNew();
    everyOld = everyOld && hasOld(*copies, r);
    all.push_back(std::move(*copies));
  }
  if (everyNew) {
    if (auto failure = commitReplacements(stickRoot, journal))
      return failed(stickRoot, *failure, messenger);
    return ended(stickRoot, kFinished, messenger, journal.audioFolder);
  }
  if (everyOld) {
    if (auto failure = rollBack(stickRoot, all)) return failed(stickRoot, *failure, messenger);
    return ended(stickRoot, kUndone, messenger, journal.audioFolder);
  }
  // A file lost under every name: only the recordings on the computer can give it back.
  bool kept = false;
  if (auto failure = keepConfiguration(all[kConfiguration], kept)) {
    return failed(stickRoot, *failure, messenger);
  }
  if (!kept) {
    report(kConfigurationLost, messenger);
    return Recovery{Recovery::Status::Failed, {}, {}};
  }
  Recovery recovery{Recovery::Status::LostFiles, {}, journal.audioFolder};
  for (std::size_t k = 0; k < all.size(); ++k) {
    if (!all[k].hasNew() && !hasOld(all[k], journal.replacements[k])) {
      recovery.lost.push_back(fileTitle(all[k].target));
    }
  }
  return recovery;
}

}  // namespace

std::vector<Replacement> saveReplacements() {
  std::vector<Replacement> list;
  list.reserve(kNewFiles.size());
  for (const NewFileKind& kind : kNewFiles) {
    list.push_back({platform::dottedName(kind.stickName, kNewFileExtension),
                    platform::dottedName(kind.stickName, kind.extension),
                    platform::dottedName(kind.stickName, kAsideExtension),
                    {},
                    false});
  }
  return list;
}

fs::path journalPath(const fs::path& stickRoot) {
  return stickFilePath(stickRoot, kSaveFilesName, kJournalExtension);
}

platform::LockOutcome tryLockStick(const fs::path& stickRoot,
                                   std::optional<platform::FileLock>& lock) {
  return platform::FileLock::acquire(stickFilePath(stickRoot, kSaveFilesName, kLockExtension),
                                     lock);
}

std::optional<platform::FileLock> lockStick(const fs::path& stickRoot,
                                            platform::Messenger& messenger) {
  std::optional<platform::FileLock> lock;
  switch (tryLockStick(stickRoot, lock)) {
    case platform::LockOutcome::Acquired:
      break;
    case platform::LockOutcome::HeldByOther:
      messenger.show(kBusy, true);
      break;
    case platform::LockOutcome::Failed:
      // Where no lock file can be made, no new file can be either.
      messenger.show(platform::readOnlyVolume(stickRoot) ? kStickReadOnly
                     : stickError(platform::FileError::Io, stickRoot) == platform::FileError::Gone
                         ? kStickFailureTexts[0].gone
                         : kCatalogueCreateFailed,
                     true);
      break;
  }
  return lock;
}

platform::FileOutcome writeJournal(const fs::path& stickRoot, const SaveJournal& journal) {
  const fs::path path = journalPath(stickRoot);
  const std::string text = journalText(journal);
  platform::FileOutcome written = platform::writeFlushed(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (written) written = platform::flushFolder(path.parent_path());
  if (!written) platform::removeFile(path);
  return written;
}

std::optional<CommitFailure> commitReplacements(const fs::path& stickRoot,
                                                const SaveJournal& journal) {
  for (const Replacement& r : journal.replacements) {
    const auto [temporary, target, aside] = namesOf(stickRoot, r);
    const platform::FileState atTemporary = platform::fileState(temporary);
    if (atTemporary == platform::FileState::Unknown) return CommitFailure{temporary};
    // Put in place by an earlier attempt.
    if (atTemporary == platform::FileState::Absent) continue;
    const platform::FileState atTarget = platform::fileState(target);
    if (atTarget == platform::FileState::Unknown) return CommitFailure{target};
    // The old file steps aside first, so that no rename replaces a file: on FAT that is two
    // directory writes, and a stick pulled between them loses both names.
    if (atTarget == platform::FileState::Present) {
      const platform::FileState atAside = platform::fileState(aside);
      if (atAside == platform::FileState::Unknown) return CommitFailure{aside};
      if (atAside == platform::FileState::Present) {
        // A twin of the old file that an interrupted rename left: the aside name keeps it.
        if (!platform::removeFile(target)) return CommitFailure{target};
      } else if (const platform::FileOutcome renamed = platform::renameFile(target, aside);
                 !renamed) {
        return CommitFailure{target, renamed.error};
      }
      if (const platform::FileOutcome flushed = platform::flushFolder(target.parent_path());
          !flushed) {
        return CommitFailure{target, flushed.error};
      }
    }
    if (const platform::FileOutcome renamed = platform::renameFile(temporary, target); !renamed) {
      return CommitFailure{target, renamed.error};
    }
    if (const platform::FileOutcome flushed = platform::flushFolder(target.parent_path());
        !flushed) {
      return CommitFailure{target, flushed.error};
    }
  }
  // Every new file in place and of its size: only now do the old ones go.
  for (const Replacement& r : journal.replacements) {
    const fs::path target = onStick(stickRoot, r.target);
    if (platform::fileSize(target) != r.written.size) return CommitFailure{target};
  }
  for (const Replacement& r : journal.replacements) {
    const fs::path aside = namesOf(stickRoot, r).aside;
    const platform::FileState atAside = platform::fileState(aside);
    if (atAside == platform::FileState::Unknown) return CommitFailure{aside};
    if (atAside == platform::FileState::Present && !platform::removeFile(aside)) {
      return CommitFailure{aside};
    }
  }
  if (auto failed = flushFolders(stickRoot)) return failed;
  return removeJournal(stickRoot);
}

Recovery finishInterruptedSave(const fs::path& stickRoot, platform::Messenger& messenger) {
  const fs::path journal = journalPath(stickRoot);
  switch (platform::fileState(journal)) {
    case platform::FileState::Unknown:
      return failed(stickRoot, CommitFailure{journal}, messenger);
    case platform::FileState::Present: {
      const std::optional<std::string> text = platform::readWholeText(journal);
      if (!text) return failed(stickRoot, CommitFailure{journal}, messenger);
      if (const std::optional<SaveJournal> parsed = parseJournal(*text)) {
        return resolve(stickRoot, *parsed, messenger);
      }
      break;
    }
    case platform::FileState::Absent:
      break;
  }
  bool anyLeft = false;
  if (auto failure = tidyLeftovers(stickRoot, anyLeft))
    return failed(stickRoot, *failure, messenger);
  if (!anyLeft) return Recovery{Recovery::Status::Whole, {}, {}};
  return ended(stickRoot, kTidied, messenger);
}

std::optional<fs::path> removeSaveLeftovers(const fs::path& stickRoot) {
  std::vector<fs::path> leftovers;
  for (const Replacement& r : saveReplacements())
    leftovers.push_back(onStick(stickRoot, r.temporary));
  // The journal last: while any new file stays, it still says what they are.
  leftovers.push_back(journalPath(stickRoot));
  for (const fs::path& file : leftovers) {
    const platform::FileState state = platform::fileState(file);
    if (state == platform::FileState::Unknown) return file;
    if (state == platform::FileState::Present && !platform::removeFile(file)) return file;
  }
  return std::nullopt;
}

bool unfinishedSaveOnStick(const fs::path& stickRoot) {
  // A question that failed proves nothing: the stick cannot be written either way.
  if (platform::fileState(journalPath(stickRoot)) == platform::FileState::Present) return true;
  for (const Replacement& r : saveReplacements()) {
    if (platform::fileState(onStick(stickRoot, r.temporary)) == platform::FileState::Present ||
        platform::fileState(onStick(stickRoot, r.aside)) == platform::FileState::Present) {
      return true;
    }
  }
  return false;
}

}  // namespace velk_mur
