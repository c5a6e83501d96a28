#pragma once
// Arms the file layer's fault seam (platform/src/file_faults.h): the Nth file operation fails,
// or every one from the Nth on (a killed program), or the stick is pulled at the Nth.
#include <filesystem>
#include <initializer_list>

#include "platform/src/file_faults.h"

namespace platform {

class FaultInjection {
 public:
  // Makes the Nth operation (counting from 1) among the given kinds fail; later ones succeed.
  static void failAt(int n, std::initializer_list<FileOp> kinds);
  static void failAt(int n);  // counting every kind of operation
  // Makes every operation of the given kinds on `file` fail, whenever it comes.
  static void failOn(const std::filesystem::path& file, std::initializer_list<FileOp> kinds);
  // Every operation from the Nth on fails: the program stops touching the disk there, as if
  // it had been killed, and whatever it would have tidied up stays behind.
  static void failFrom(int n);
  // The stick is pulled at the Nth operation: it and every later one fail as from a vanished
  // device. applyPull() then leaves on the disk what a FAT stick keeps: a file written since its
  // last flush loses what was not flushed, and a rename over an existing file that the pull cut
  // loses both names (the old entry was marked deleted, the new one not yet written).
  static void pullAt(int n);
  static void applyPull();
  // What injected failures are reported as (default: an I/O error).
  static void reportAs(FileError error);
  static void reset();

  // Operations of the selected kinds counted since the last arming or reset.
  static int operationsSeen();
  static bool failureReached();
};

// Arms a fault for the lifetime of a test scope.
class ScopedFault {
 public:
  ScopedFault(int n, std::initializer_list<FileOp> kinds) { FaultInjection::failAt(n, kinds); }
  explicit ScopedFault(int n) { FaultInjection::failAt(n); }
  struct From {
    int n;
  };
  explicit ScopedFault(From from) { FaultInjection::failFrom(from.n); }
  ScopedFault(const std::filesystem::path& file, std::initializer_list<FileOp> kinds) {
    FaultInjection::failOn(file, kinds);
  }
  ~ScopedFault() { FaultInjection::reset(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace platform
