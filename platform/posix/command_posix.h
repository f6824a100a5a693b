// Running a desktop tool (gsettings, loginctl, systemctl) to its end, for
// the desktop module on Linux.
#pragma once

#include <string>
#include <vector>

namespace tallow::platform {

// Runs argv[0], searched along PATH, with argv, standard input from the null
// device and the process's environment, and waits for it. Its standard
// output is kept in output when given, and discarded otherwise; its standard
// error is passed through, or discarded when quiet. The exit status, or -1
// when the program could not be started or did not exit normally.
int RunCommand(const std::vector<std::string>& argv, std::string* output, bool quiet);

}  // namespace tallow::platform
