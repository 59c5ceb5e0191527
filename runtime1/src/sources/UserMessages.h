// Lines for the user on standard error, about what the environment chose.
#pragma once

#include <string>

namespace plexa::virtual1 {

// One line: "Plexa: " and the text.
void reportToUser(const std::string& text);
// A value from outside, fit to stand in such a line: quoted, with control
// characters and bytes outside ASCII escaped, and cut short when long.
std::string quotedForUser(const std::string& value);

}  // namespace plexa::virtual1
