// The component kinds a skin may create. Any other class name in a skin ends reading it.
#pragma once
#include <span>
#include <string_view>

namespace orlo::ui {

std::span<const std::string_view> RegisteredSkinClasses();
bool IsRegisteredSkinClass(std::string_view class_name);

}  // namespace orlo::ui
