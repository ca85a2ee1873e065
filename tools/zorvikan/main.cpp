// zorvikan: a host for the ZORVIKAN.PLC device-address module.
#include <CLI/CLI.hpp>
#include <iostream>

#include "Commands.h"
#include "ModuleHost.h"

int main(int argc, char** argv) {
    CLI::App app{"zorvikan: name, check and convert PLC device addresses through ZORVIKAN.PLC"};
    app.require_subcommand(1);
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
    } catch (const ModuleError& e) {
        std::cerr << "zorvikan: " << e.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "zorvikan: " << e.what() << "\n";
        return kExitUsage;
    }
    return status;
}
