// Upper- and lower-casing of script text in the system's character set.
#pragma once

#include <string>

namespace tallow::platform {

// Windows cases the letters of the ANSI code page; Linux, whose scripts are
// usually UTF-8, cases the ASCII letters only and leaves other bytes alone.
void UpperCaseText(std::string& text);
void LowerCaseText(std::string& text);

}  // namespace tallow::platform
