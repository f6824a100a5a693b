// File and folder choosers of the desktop module.
#pragma once

#include <cstddef>
#include <string>

namespace tallow::gui {

// The path chosen in an open (save false) or save chooser; false when the
// user cancelled. filters holds name/pattern pairs, each text NUL-ended;
// a pattern may list several globs separated by ';'.
bool ChooseFile(bool save, const char* filters, size_t filtersLength, const char* initialFile,
                const char* title, std::string& path);
// The folder chosen below root (anywhere when root is empty).
bool ChooseFolder(const char* root, const char* title, std::string& path);

}  // namespace tallow::gui
