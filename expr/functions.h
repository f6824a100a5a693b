// The built-in number and string functions of the main object, as tables in
// registration order: entry i is registered under id i + 1.
#pragma once

#include <string>

namespace tallow {

class Program;

struct NumFunctionEntry {
    const char* name;
    double (*handler)(Program&);
};

struct StringFunctionEntry {
    const char* name;
    std::string (*handler)(Program&);
};

constexpr int kNumFunctionCount = 31;
constexpr int kStringFunctionCount = 18;

extern const NumFunctionEntry kNumFunctions[kNumFunctionCount];
extern const StringFunctionEntry kStringFunctions[kStringFunctionCount];

}  // namespace tallow
