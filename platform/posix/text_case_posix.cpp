// Casing on Linux: ASCII letters only, so multibyte UTF-8 text stays intact.
#include "platform/text_case.h"

namespace tallow::platform {

void UpperCaseText(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
}

void LowerCaseText(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
}

}  // namespace tallow::platform
