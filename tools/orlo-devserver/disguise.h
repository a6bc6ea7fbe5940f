// Disguises a mod list the way some operators' services send it: every character that has a
// look-alike stand-in is replaced by the first stand-in of its kind.
#pragma once
#include <string>
#include <string_view>

namespace orlo::devserver {

// UTF-8 in, UTF-8 out. Characters without a stand-in ("{", "}", blanks, capitals, "j", "n",
// everything non-ASCII) pass unchanged.
std::string Disguise(std::string_view utf8);

}  // namespace orlo::devserver
