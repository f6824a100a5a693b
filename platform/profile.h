// Initialisation files (sections of key=value lines) through the system's
// profile services: the private-profile functions on Windows, IniText on
// Linux. Every call is self-contained: no file stays open between calls.
//
// A file name without a folder is looked for where the profile services look:
// the Windows folder on Windows, and on Linux the folder that also holds the
// registry, $XDG_CONFIG_HOME/tallow (~/.config/tallow). A name with a folder
// is taken as it is, relative to the current folder. Confined (see
// confinement.h), a name without a folder means the current folder, and
// names outside it fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tallow::platform {

// The value of key in section, or defaultValue less its trailing blanks when
// the file, the section or the key is missing. The value is whole, however
// long.
std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue);
// The value of key read as a number (IniNumber), or defaultValue when the
// file, the section or the key is missing or the value is empty.
uint32_t ReadProfileNumber(const std::string& file, const std::string& section, const std::string& key,
                           int32_t defaultValue);
// The names of all sections of the file, or of all keys of section, in file
// order and whole; empty when the file or section is missing.
std::vector<std::string> ProfileSectionNames(const std::string& file);
std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section);

// Sets key in section to value, creating the file and the section as
// needed. A null value deletes the key, a null key the whole section.
// False when the file cannot be read or written. The rest of the file
// survives any failure: Linux writes a new file beside it and renames it
// over the old one.
bool WriteProfileEntry(const std::string& file, const std::string& section, const std::string* key,
                       const std::string* value);

}  // namespace tallow::platform
