// The main window's placement in the registry.
#include "ide/model/window_settings.h"

#include <charconv>
#include <string>

#include "ide/model/main_form_rules.h"

namespace tallow::ide {

namespace {

int ReadNumber(DocumentHost& host, const char* name, int current) {
    std::string text = host.ReadRegistryString(kSettingsKey, kWindowSection, name);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? value : current;
}

void WriteNumber(DocumentHost& host, const char* name, int value) {
    host.WriteRegistryString(kSettingsKey, kWindowSection, name, std::to_string(value));
}

}  // namespace

WindowPlacement ReadWindowPlacement(DocumentHost& host, const WindowPlacement& current) {
    WindowPlacement placement;
    placement.width = ReadNumber(host, "Width", current.width);
    placement.height = ReadNumber(host, "Height", current.height);
    placement.left = ReadNumber(host, "Left", current.left);
    placement.top = ReadNumber(host, "Top", current.top);
    placement.maximized = ReadNumber(host, "State", 0) != 0;
    return placement;
}

void WriteWindowPlacement(DocumentHost& host, const WindowPlacement& placement) {
    WriteNumber(host, "State", placement.maximized ? 1 : 0);
    WriteNumber(host, "Width", placement.width);
    WriteNumber(host, "Height", placement.height);
    WriteNumber(host, "Left", placement.left);
    WriteNumber(host, "Top", placement.top);
}

}  // namespace tallow::ide
