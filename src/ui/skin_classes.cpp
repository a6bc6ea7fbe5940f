#include "ui/skin_classes.h"

#include <algorithm>
#include <array>

namespace orlo::ui {
namespace {

constexpr std::array<std::string_view, 29> kClasses = {
    "TuImageButton",
    "TuURLButton",
    "TuStartBtton",
    "TuMinimizeButton",
    "TuCloseButton",
    "TuConfigButton",
    "TuRegisterButton",
    "TuChangePassButton",
    "TuGetBackPassButton",
    "TuWebBrowser",
    "TuCurProgressBar",
    "TuAllProgressBar",
    "TuLable",
    "TuInfLable",
    "TuImage",
    "TuTreeView",
    "TuServerCombobox",
    "TuResolutionCombobox",
    "TuResolutionButton",
    "TuRepairButton",
    "TuForm",
    "TuIDEdit",
    "TuPWEdit",
    "TuPhoneBtn",
    "TuPhoneRepairButton",
    "TLoginExchange",
    "TuQQBtton",
    "TuWeiXinBtton",
    "Tu360Btton",
};

}  // namespace

std::span<const std::string_view> RegisteredSkinClasses() { return kClasses; }

bool IsRegisteredSkinClass(std::string_view class_name) {
    return std::find(kClasses.begin(), kClasses.end(), class_name) != kClasses.end();
}

}  // namespace orlo::ui
