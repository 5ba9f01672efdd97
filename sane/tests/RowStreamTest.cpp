#include "RowStream.h"

#include <gtest/gtest.h>

// A reader that comes before any scan is answered at once instead of
// waiting for rows that never come.
TEST(RowStreamTest, ReadingWithoutAScanAnswersAtOnce)
{
    std::atomic<bool> cancelled{false};
    RowStream stream(cancelled, 64);
    uint8_t bytes[8];
    size_t length = 1;
    EXPECT_EQ(stream.take(bytes, sizeof bytes, &length), SANE_STATUS_INVAL);
    EXPECT_EQ(length, 0u);
}
