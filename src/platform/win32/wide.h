// UTF-8 <-> UTF-16 at the Win32 calls; nothing else in the program holds wide text.
#pragma once
#include <string>
#include <string_view>

namespace orlo::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace orlo::platform::win32
