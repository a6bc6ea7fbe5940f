#include "ui/skin_classes.h"

#include <gtest/gtest.h>

namespace orlo::ui {
namespace {

TEST(SkinClasses, OnlyTheTwentyNineKindsAreRegistered) {
    EXPECT_EQ(RegisteredSkinClasses().size(), 29u);
    for (auto name : {"TuStartBtton", "TLoginExchange", "Tu360Btton", "TuForm"})
        EXPECT_TRUE(IsRegisteredSkinClass(name)) << name;
    // Bases only, never created from a skin.
    for (auto name : {"TuEdit", "TCheckImageButton", "TuCustomForm", "TButton", ""})
        EXPECT_FALSE(IsRegisteredSkinClass(name)) << name;
}

}  // namespace
}  // namespace orlo::ui
