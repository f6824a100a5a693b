// Text conversions of the desktop module.
#include "gui_text.h"

#include <glib.h>

#include <cstring>

namespace tallow::gui {

std::string Utf8(const char* text) {
    if (!text) return {};
    if (g_utf8_validate(text, -1, nullptr)) return text;
    gchar* converted = g_convert(text, -1, "UTF-8", "ISO-8859-1", nullptr, nullptr, nullptr);
    std::string result = converted ? converted : "";
    g_free(converted);
    return result;
}

std::string MnemonicLabel(const std::string& text) {
    std::string label;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '&' && i + 1 < text.size()) {
            label.push_back(text[i + 1] == '&' ? '&' : '_');
            if (text[i + 1] == '&') ++i;
        } else if (c == '_') {
            label.append("__");
        } else {
            label.push_back(c);
        }
    }
    return label;
}

char* CopyText(const std::string& text) {
    char* copy = static_cast<char*>(g_malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace tallow::gui
