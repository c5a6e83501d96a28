#pragma once
// The one seam through which every file create, write, close, flush, rename, remove and
// existence check passes, so that a test can put a failure in its way (tests/support arms it)
// and check that nothing of the user's is lost.
#include <filesystem>

#include "platform/files.h"

namespace platform {

enum class FileOp { Create, Write, Close, Rename, Remove, Flush, Check };

class FaultSeam {
 public:
  virtual ~FaultSeam() = default;
  // Asked before each operation on `path` (`to`: where a rename goes): the reason to report it
  // as failed, or None to let it happen.
  virtual FileError before(FileOp op, const std::filesystem::path& path,
                           const std::filesystem::path& to) = 0;
};

// Puts `seam` in the file layer's way; nullptr takes it away.
void installFaultSeam(FaultSeam* seam);

// Called by the file layer before each operation.
FileError injectedFault(FileOp op, const std::filesystem::path& path,
                        const std::filesystem::path& to = {});

}  // namespace platform
