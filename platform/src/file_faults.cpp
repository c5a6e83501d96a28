#include "file_faults.h"

namespace platform {

namespace {
FaultSeam*& installed() {
  static FaultSeam* seam = nullptr;
  return seam;
}
}  // namespace

void installFaultSeam(FaultSeam* seam) {
  installed() = seam;
}

FileError injectedFault(FileOp op, const std::filesystem::path& path,
                        const std::filesystem::path& to) {
  FaultSeam* seam = installed();
  return seam == nullptr ? FileError::None : seam->before(op, path, to);
}

}  // namespace platform
