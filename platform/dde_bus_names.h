// The names under which a data-exchange server offers itself on the session
// bus: a service becomes a bus name, a topic an object path. Data-exchange
// names are compared without regard to case, so both are folded to lower
// case; every byte other than a-z and 0-9 (and a leading digit of the
// service) is written as '_' and two lower-case hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace tallow::platform {

constexpr std::string_view kDdeBusNamePrefix = "org.tallow.Dde.";
constexpr std::string_view kDdeObjectPathPrefix = "/org/tallow/Dde/";
constexpr std::string_view kDdeInterface = "org.tallow.DdeServer1";
constexpr std::string_view kDdeExecuteMethod = "Execute";
constexpr std::string_view kDdeRequestMethod = "Request";
// The bus refuses longer names; a longer service can have no server.
constexpr size_t kMaxBusNameLength = 255;

// The bus name of a service: kDdeBusNamePrefix and the escaped service ("_"
// for an empty one). May be longer than kMaxBusNameLength.
std::string DdeBusName(std::string_view service);
// The object path of a topic: kDdeObjectPathPrefix and the escaped topic
// ("_" for an empty one).
std::string DdeObjectPath(std::string_view topic);

}  // namespace tallow::platform
