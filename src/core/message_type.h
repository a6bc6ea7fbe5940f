// The kinds of message the player sees in the information labels, and their colours.
#pragma once
#include <cstdint>

#include "core/controls.h"

namespace orlo {

enum TMessageType : std::uint8_t { mtNormal = 0, mtError = 1, mtWaringin = 2 };

TColor MessageColor(TMessageType kind);

}  // namespace orlo
