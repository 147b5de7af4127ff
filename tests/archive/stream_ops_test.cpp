// Release and write operations accept absent objects.
#include "archive/stream_ops.h"

#include <gtest/gtest.h>

namespace {

TEST(StreamOps, AbsentStreamsAndBlocksAreLeftAlone) {
  const char bytes[] = "abc";
  EXPECT_EQ(writeBytes(nullptr, bytes, 3), 0);
  closeStream(nullptr);

  uint8_t* block = static_cast<uint8_t*>(allocZeroed(64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], 0) << i;
  freeAndClear(block);
  EXPECT_EQ(block, nullptr);
  freeAndClear(block);
  EXPECT_EQ(block, nullptr);
}

}  // namespace
