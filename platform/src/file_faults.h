#pragma once
// The one seam through which every file create, write, close, flush, rename, remove and
// existence check passes, so tests can make the Nth of them fail (or every one from the Nth
// on, as if the program were killed there) and check that nothing of the user's is lost.
#include <initializer_list>

namespace platform {

enum class FileOp { Create, Write, Close, Rename, Remove, Flush, Check };

class FaultInjection {
 public:
  // Makes the Nth operation (counting from 1) among the given kinds fail; later ones succeed.
  static void failAt(int n, std::initializer_list<FileOp> kinds);
  static void failAt(int n);  // counting every kind of operation
  // Every operation from the Nth on fails: the program stops touching the disk there, as if
  // it had been killed, and whatever it would have tidied up stays behind.
  static void failFrom(int n);
  // Injected failures of writes, closes and flushes look like a full device.
  static void setDeviceFull(bool full);
  static bool deviceFull();
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
  struct From {
    int n;
  };
  explicit ScopedFault(From from) { FaultInjection::failFrom(from.n); }
  ~ScopedFault() { FaultInjection::reset(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace platform
