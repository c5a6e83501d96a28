#pragma once
// The one seam through which every file create, write, close, rename and remove passes,
// so tests can make the Nth of them fail and check that nothing of the user's is lost.
#include <initializer_list>

namespace platform {

enum class FileOp { Create, Write, Close, Rename, Remove };

class FaultInjection {
 public:
  // Makes the Nth operation (counting from 1) among the given kinds fail; later ones succeed.
  static void failAt(int n, std::initializer_list<FileOp> kinds);
  static void failAt(int n);  // counting every kind of operation
  static void reset();

  // Operations of the selected kinds counted since the last failAt or reset.
  static int operationsSeen();
  static bool failureReached();

  // Called by the file layer before each operation; true means: report this one as failed.
  static bool shouldFail(FileOp op);
};

// Arms a fault for the lifetime of a test scope.
class ScopedFault {
 public:
  ScopedFault(int n, std::initializer_list<FileOp> kinds) { FaultInjection::failAt(n, kinds); }
  explicit ScopedFault(int n) { FaultInjection::failAt(n); }
  ~ScopedFault() { FaultInjection::reset(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace platform
