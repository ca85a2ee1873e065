// zorvikan: a host for the ZORVIKAN.PLC device-address module.
#include <CLI/CLI.hpp>
#include <iostream>

#include "Commands.h"
#include "ModuleHost.h"
#include "Session.h"

int main(int argc, char** argv) {
    // The commands stream large inputs and outputs through the C++ streams only.
    std::ios::sync_with_stdio(false);
    CLI::App app{"zorvikan: name, check and convert PLC device addresses through ZORVIKAN.PLC"};
    // At most one command; none is answered with the help text and status 2 below, so that
    // an unknown word is reported as unexpected rather than as a missing command.
    app.require_subcommand(0, 1);
    GlobalOptions global;
    app.add_option("--module", global.modulePath,
                   "Path of the PLC module to load (default: ZORVIKAN.PLC next to this program)");
    int status = kExitOk;
    RegisterCommands(app, global, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // CLI11 reports usage errors with its own codes; ours are 0 (help) or 2.
        const int code = app.exit(e);
        return code == 0 ? kExitOk : kExitUsage;
    } catch (const std::exception& e) {
        // Unloadable modules, unserved PLC types, unreadable files.
        std::cout.flush();
        std::cerr << "zorvikan: " << e.what() << "\n";
        return kExitUsage;
    }
    if (app.get_subcommands().empty()) {
        std::cerr << app.help() << "zorvikan: a command is required\n";
        return kExitUsage;
    }
    return status;
}
