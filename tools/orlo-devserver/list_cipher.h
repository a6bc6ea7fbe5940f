// Enciphered server lists: Base64 of the marker followed by the list's ANSI bytes under XXTEA.
#pragma once
#include <string>
#include <string_view>

namespace orlo::devserver {

// marker is sent as given, so a scenario can send a wrong one.
std::string EncipherServerList(std::string_view utf8_text, std::string_view marker);

}  // namespace orlo::devserver
