#include <gtest/gtest.h>

#include "core/format.h"

namespace orlo {
namespace {

TEST(Sprintf, FormatsTraceStyleFields) {
    EXPECT_EQ(Sprintf("证书偏移 %.8x", 0x1234), "证书偏移 00001234");
    EXPECT_EQ(Sprintf("nGMNum %d", -5), "nGMNum -5");
    EXPECT_EQ(Sprintf("%s", std::string(5000, 'a').c_str()).size(), 5000u);
}

}  // namespace
}  // namespace orlo
