// The keys of a US keyboard layout: which virtual key, with which modifiers,
// types each printable ASCII character. Used where the system has no layout
// to ask (Linux), and pure so that it can be tested anywhere.
#pragma once

#include "desktop.h"

namespace tallow::platform {

// The key of c on a US layout (as VkKeyScanA answers there); false for
// characters no key types (NUL, most control characters, bytes above 127).
bool UsLayoutKeyForChar(char c, CharKey& key);

}  // namespace tallow::platform
