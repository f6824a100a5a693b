// tallowcod: packs a script and dialog scripts into a code file, unpacks one
// into text files, and lists what one holds. Exit status 2 for a wrong
// command line, 1 for a failure, 0 otherwise.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/tallowcod/commands.h"

namespace {

using tallow::codec::ToolError;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "usage: tallowcod pack SCRIPT [DIALOGS.rc ...] -o FILE.cod [--date YYYY-MM-DD]\n"
    "       tallowcod unpack FILE.cod [-d DIR]\n"
    "       tallowcod list FILE.cod\n"
    "\n"
    "pack    builds a code file from a script and the DIALOG statements of\n"
    "        dialog-resource scripts (.rc); the date stamp is today's unless\n"
    "        --date gives one. Dialog names have at most 15 characters.\n"
    "unpack  writes the script as FILE.tal and each dialog as NAME.rc into DIR\n"
    "        (the current folder by default), and the pack command that\n"
    "        builds the same file again.\n"
    "list    shows the version, date stamp, dialogs and code size.\n";

struct UsageError {
    std::string message;
};

struct Arguments {
    std::vector<std::string> positional;
    std::string output, directory = ".", date;
};

// Splits the words after the command into options and positional words.
Arguments ParseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 2; i < argc; ++i) {
        std::string word = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) throw UsageError{word + " needs a value"};
            into = argv[++i];
        };
        if (word == "-o") {
            value(args.output);
        } else if (word == "-d") {
            value(args.directory);
        } else if (word == "--date") {
            value(args.date);
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError{"unknown option " + word};
        } else {
            args.positional.push_back(word);
        }
    }
    return args;
}

int Run(int argc, char** argv) {
    if (argc < 2) throw UsageError{"a command is required"};
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kHelp;
        return 0;
    }
    Arguments args = ParseArguments(argc, argv);
    bool dateOrOutput = !args.output.empty() || !args.date.empty();
    if (command == "pack") {
        if (args.positional.empty()) throw UsageError{"pack needs a script"};
        if (args.output.empty()) throw UsageError{"pack needs -o FILE.cod"};
        tallow::codec::Date date = tallow::codec::Today();
        if (!args.date.empty() && !tallow::codec::ParseDate(args.date, date))
            throw UsageError{"--date needs YYYY-MM-DD, not " + args.date};
        std::vector<std::string> dialogs(args.positional.begin() + 1, args.positional.end());
        tallow::codec::PackCodeFile(args.positional[0], dialogs, args.output, date);
    } else if (command == "unpack") {
        if (args.positional.size() != 1 || dateOrOutput)
            throw UsageError{"unpack takes one code file and -d DIR"};
        tallow::codec::UnpackCodeFile(args.positional[0], args.directory, std::cout);
    } else if (command == "list") {
        if (args.positional.size() != 1 || dateOrOutput || args.directory != ".")
            throw UsageError{"list takes one code file"};
        tallow::codec::ListCodeFile(args.positional[0], std::cout);
    } else {
        throw UsageError{"unknown command " + command};
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "tallowcod: " << error.message << "\n" << kHelp;
        return kExitUsage;
    } catch (const ToolError& error) {
        std::cerr << "tallowcod: " << error.what() << "\n";
        return kExitFailure;
    } catch (const std::exception& error) {
        std::cerr << "tallowcod: " << error.what() << "\n";
        return kExitFailure;
    }
}
