#pragma once
// What a writer of the generator builds.
#include <functional>

#include <gtest/gtest.h>

#include "platform/byte_order.h"

namespace generate_tests {

// What `writer` builds; a refusal fails the calling test.
inline platform::Bytes written(const std::function<bool(platform::Bytes&)>& writer) {
  platform::Bytes bytes;
  EXPECT_TRUE(writer(bytes));
  return bytes;
}

}  // namespace generate_tests
