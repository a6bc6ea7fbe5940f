// One launcher per title: a second start finds the first one's splash window and wakes it.
#pragma once
#include <string>
#include <string_view>

namespace orlo {

inline constexpr std::string_view kSplashClassName = "TSplashForm_Login_OrloM2";

std::string InstanceMutexName(std::string_view title);

// Brings every splash window of a running launcher to the front.
void ActivateRunningInstance();

}  // namespace orlo
