#include <gtest/gtest.h>
TEST(CodecPlaceholder, Builds) { SUCCEED(); }
