// The JSON object that account requests carry in their "ext" parameter.
#pragma once
#include <string>
#include <string_view>

namespace orlo {

// "name=value" lines separated by CR LF to a compact JSON object of string members. Only the
// double quote, the backslash and NUL are escaped; other characters are written as they are.
std::string ParamsToJson(std::string_view lines);

}  // namespace orlo
