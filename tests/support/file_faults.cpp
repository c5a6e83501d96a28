#include "tests/support/file_faults.h"

#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

enum class Mode { Once, From, Pull, OnFile };

unsigned bit(FileOp op) {
  return 1u << static_cast<unsigned>(op);
}

constexpr unsigned kEveryKind = 0x7f;

// Where the file system ignores letter case, the product may spell a file otherwise than a test.
bool sameFile(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  return platform::toLowerAscii(platform::pathToText(a.lexically_normal())) ==
         platform::toLowerAscii(platform::pathToText(b.lexically_normal()));
#else
  return a == b;
#endif
}

class FaultPlan final : public FaultSeam {
 public:
  int failAt = 0;
  unsigned kindMask = 0;
  int seen = 0;
  bool reached = false;
  Mode mode = Mode::Once;
  FileError reported = FileError::Io;
  fs::path file;  // OnFile: the one file whose operations fail
  // For a pull: what each file held at its last flush, the files written since, and the
  // rename the pull cut in two.
  std::map<fs::path, Bytes> flushed;
  std::set<fs::path> unflushed;
  std::optional<std::pair<fs::path, fs::path>> tornRename;

  FileError before(FileOp op, const fs::path& path, const fs::path& to) override {
    if ((kindMask & bit(op)) == 0) return FileError::None;
    ++seen;
    switch (mode) {
      case Mode::Once:
        if (seen != failAt) return FileError::None;
        break;
      case Mode::From:
        if (seen < failAt) return FileError::None;
        break;
      case Mode::OnFile:
        if (!sameFile(path, file)) return FileError::None;
        break;
      case Mode::Pull:
        if (seen < failAt) {
          track(op, path, to);
          return FileError::None;
        }
        if (seen == failAt && op == FileOp::Rename && fs::exists(to)) tornRename = {path, to};
        reached = reached || seen == failAt;
        return FileError::Gone;
    }
    reached = true;
    return reported;
  }

 private:
  void track(FileOp op, const fs::path& path, const fs::path& to) {
    switch (op) {
      case FileOp::Create:
      case FileOp::Write:
        unflushed.insert(path);
        break;
      case FileOp::Flush:
        if (fs::is_regular_file(path)) {
          flushed[path] = testing_support::readFile(path);
          unflushed.erase(path);
        }
        break;
      case FileOp::Rename:
        moveRecord(path, to);
        break;
      case FileOp::Remove:
        flushed.erase(path);
        unflushed.erase(path);
        break;
      case FileOp::Close:  // also of files only read
      case FileOp::Check:
        break;
    }
  }

  void moveRecord(const fs::path& from, const fs::path& to) {
    flushed.erase(to);
    unflushed.erase(to);
    if (auto found = flushed.find(from); found != flushed.end()) {
      flushed[to] = std::move(found->second);
      flushed.erase(from);
    }
    if (unflushed.erase(from) != 0) unflushed.insert(to);
  }
};

FaultPlan& plan() {
  static FaultPlan instance;
  return instance;
}

void arm(int n, unsigned kinds, Mode mode) {
  FaultPlan& p = plan();
  p = FaultPlan{};
  p.failAt = n;
  p.kindMask = kinds;
  p.mode = mode;
  installFaultSeam(&p);
}

}  // namespace

void FaultInjection::failAt(int n, std::initializer_list<FileOp> kinds) {
  unsigned mask = 0;
  for (FileOp op : kinds) mask |= bit(op);
  arm(n, mask, Mode::Once);
}

void FaultInjection::failOn(const fs::path& file, std::initializer_list<FileOp> kinds) {
  unsigned mask = 0;
  for (FileOp op : kinds) mask |= bit(op);
  arm(0, mask, Mode::OnFile);
  plan().file = file;
}

void FaultInjection::failAt(int n) {
  arm(n, kEveryKind, Mode::Once);
}

void FaultInjection::failFrom(int n) {
  arm(n, kEveryKind, Mode::From);
}

void FaultInjection::pullAt(int n) {
  arm(n, kEveryKind, Mode::Pull);
}

void FaultInjection::applyPull() {
  FaultPlan& p = plan();
  std::error_code error;
  for (const fs::path& file : p.unflushed) {
    if (!fs::is_regular_file(file, error)) continue;
    const auto found = p.flushed.find(file);
    testing_support::writeFile(file, found == p.flushed.end() ? Bytes{} : found->second);
  }
  if (p.tornRename) {
    fs::remove(p.tornRename->first, error);
    fs::remove(p.tornRename->second, error);
  }
}

void FaultInjection::reportAs(FileError error) {
  plan().reported = error;
}

void FaultInjection::reset() {
  installFaultSeam(nullptr);
  plan() = FaultPlan{};
}

int FaultInjection::operationsSeen() {
  return plan().seen;
}

bool FaultInjection::failureReached() {
  return plan().reached;
}

}  // namespace platform
