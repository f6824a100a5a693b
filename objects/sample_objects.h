// An unnamed, unconnected object of each creatable type, made without
// touching the system, so that its members can be listed (the reference's
// name listing, the language server's member completion).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tallow {

class Program;
class ScriptObject;

using SampleObjectMaker = std::function<std::unique_ptr<ScriptObject>(Program&)>;

// Keyed by the type's name in lower case. A type missing here has no member
// listing: the reference's name listing fails for it, so a new type must be
// added.
const std::map<std::string, SampleObjectMaker>& SampleObjectMakers();

}  // namespace tallow
