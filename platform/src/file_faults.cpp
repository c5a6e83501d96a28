#include "file_faults.h"

namespace platform {

namespace {

struct FaultState {
  int failAt = 0;
  unsigned kindMask = 0;
  int seen = 0;
  bool reached = false;
  bool sticky = false;
  bool deviceFull = false;
};

FaultState& state() {
  static FaultState instance;
  return instance;
}

unsigned bit(FileOp op) {
  return 1u << static_cast<unsigned>(op);
}

}  // namespace

void FaultInjection::failAt(int n, std::initializer_list<FileOp> kinds) {
  FaultState& s = state();
  s = FaultState{};
  s.failAt = n;
  for (FileOp op : kinds) s.kindMask |= bit(op);
}

void FaultInjection::failAt(int n) {
  failAt(n, {FileOp::Create, FileOp::Write, FileOp::Close, FileOp::Rename, FileOp::Remove,
             FileOp::Flush, FileOp::Check});
}

void FaultInjection::failFrom(int n) {
  failAt(n);
  state().sticky = true;
}

void FaultInjection::setDeviceFull(bool full) {
  state().deviceFull = full;
}

bool FaultInjection::deviceFull() {
  return state().deviceFull;
}

void FaultInjection::reset() {
  state() = FaultState{};
}

int FaultInjection::operationsSeen() {
  return state().seen;
}

bool FaultInjection::failureReached() {
  return state().reached;
}

bool FaultInjection::shouldFail(FileOp op) {
  FaultState& s = state();
  if ((s.kindMask & bit(op)) == 0) return false;
  ++s.seen;
  if (s.sticky ? s.seen < s.failAt : s.seen != s.failAt) return false;
  s.reached = true;
  return true;
}

}  // namespace platform
