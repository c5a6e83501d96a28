// One application for a whole GUI test run, created before the first test and deleted after
// the last, before the program's static objects are destroyed.
#include <QApplication>

#include <memory>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[11] = "velk_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
