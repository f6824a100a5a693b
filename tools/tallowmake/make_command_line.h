// The two command-line forms of tallowmake: the one the development
// environment starts it with (CODEFILE"EXEFILE: a double quote between the
// paths, no blank around it and no closing quote) and the conventional
// CODEFILE [-o EXEFILE].
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tallow::make {

struct MakeRequest {
    bool help = false;
    bool environmentForm = false;  // CODEFILE"EXEFILE, as the environment writes it
    std::string codeFile, exeFile;
    std::string error;  // non-empty: a wrong command line, said in a sentence
};

// Reads the request from the raw text after the program's name where the
// system keeps it (Windows: the split arguments lose the lone quote), else
// from the arguments. Without -o the executable is the code file's path
// with its extension replaced by exeSuffix (".exe", or "" on Linux).
MakeRequest ParseMakeCommandLine(const std::optional<std::string>& rawText,
                                 const std::vector<std::string>& args, const std::string& exeSuffix);

}  // namespace tallow::make
