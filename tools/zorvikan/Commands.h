// The zorvikan subcommands. Each registers itself on the application and runs against the
// module loaded from the path the global --module option gives.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

struct GlobalOptions {
    std::string modulePath;  // empty: next to the executable
};

// Exit status: 0 success, 1 some input invalid, 2 usage or I/O error.
enum ExitCode : int { kExitOk = 0, kExitInvalid = 1, kExitUsage = 2 };

// Registers the subcommands; the returned status of the command that ran is stored in `status`.
void RegisterCommands(CLI::App& app, const GlobalOptions& global, int& status);

// The module file the global options name.
std::string ModulePath(const GlobalOptions& global);

// Commands with files of their own.
void RegisterCheckCommand(CLI::App& app, const GlobalOptions& global, int& status);
void RegisterServeCommand(CLI::App& app, const GlobalOptions& global, int& status);
