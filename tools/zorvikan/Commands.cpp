#include "Commands.h"

#include <cstdio>
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "ModuleHost.h"

namespace {

using json = nlohmann::ordered_json;

std::string TypeText(int type) {
    if (type > 32 && type < 127) return std::string(1, static_cast<char>(type));
    return std::to_string(type);
}

json DeviceJson(const pqcore::PqDevice& d) {
    return json{{"channel", d.mChannel},
                {"network", d.mSegment.mNetworkNo},
                {"station", d.mSegment.mStationNo},
                {"ext", d.mSegment.mExtNo},
                {"code", d.mCode},
                {"number", d.mNumber},
                {"type", TypeText(d.mType)}};
}

std::string DeviceBrief(const pqcore::PqDevice& d) {
    return std::to_string(d.mCode) + "/" + std::to_string(d.mNumber) + "/" + TypeText(d.mType);
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

std::string ModulePath(const GlobalOptions& global) {
    return global.modulePath.empty() ? DefaultModulePath() : global.modulePath;
}

// ---- list ---------------------------------------------------------------------------------

struct ListOptions {
    int terminal = 2;
    bool json = false;
};

int RunList(const GlobalOptions& global, const ListOptions& options) {
    const ModuleHost host(ModulePath(global));
    json all = json::array();
    std::ostringstream table;
    table << std::left << std::setw(14) << "PLC type" << std::right << std::setw(5) << "code"
          << std::setw(6) << "group" << std::setw(6) << "level" << std::setw(9) << "terminal"
          << "  " << std::left << std::setw(10) << "available" << std::setw(8) << "network"
          << std::setw(7) << "option" << std::setw(13) << "default bit"
          << "default word\n";

    for (const std::wstring& id : host.Ids()) {
        const auto plc = host.Create(id);
        if (!plc) throw ModuleError("the module lists " + Narrow(id) + " but does not create it");
        plc->SetTerminalType(options.terminal);
        const pqcore::PqDevice bit = plc->GetDefaultBitDevice();
        const pqcore::PqDevice word = plc->GetDefaultWordDevice();
        json entry{{"id", Narrow(plc->GetPlcId())},
                   {"plcCode", plc->GetPlcCode()},
                   {"plcGroupCode", plc->GetPlcGroupCode()},
                   {"interfaceLevel", plc->GetInterfaceLevel()},
                   {"terminalType", options.terminal},
                   {"availableForTerminal", plc->IsAvailableForTerminal(0)},
                   {"availableForTerminalEx", plc->IsAvailableForTerminalEx(0)},
                   {"networkAvailable", plc->IsNetworkAvailable()},
                   {"networkAvailableEx", plc->IsNetworkAvailableEx()},
                   {"optionAvailable", plc->IsOptionAvailable()},
                   {"defaultBitDevice", DeviceJson(bit)},
                   {"defaultWordDevice", DeviceJson(word)}};
        table << std::left << std::setw(14) << entry["id"].get<std::string>() << std::right
              << std::setw(5) << plc->GetPlcCode() << std::setw(6) << plc->GetPlcGroupCode()
              << std::setw(6) << plc->GetInterfaceLevel() << std::setw(9) << options.terminal
              << "  " << std::left << std::setw(10) << YesNo(plc->IsAvailableForTerminal(0))
              << std::setw(8) << YesNo(plc->IsNetworkAvailable()) << std::setw(7)
              << YesNo(plc->IsOptionAvailable()) << std::setw(13) << DeviceBrief(bit)
              << DeviceBrief(word) << "\n";
        all.push_back(std::move(entry));
    }

    if (options.json)
        std::cout << all.dump(2) << "\n";
    else
        std::cout << table.str();
    return kExitOk;
}

}  // namespace

void RegisterCommands(CLI::App& app, const GlobalOptions& global, int& status) {
    auto list = std::make_shared<ListOptions>();
    CLI::App* cmd = app.add_subcommand(
        "list", "List the PLC types the module serves and what each answers to the fixed queries");
    cmd->add_option("--terminal", list->terminal, "Terminal type to set first (values of 8 or more mean 4)")
        ->capture_default_str();
    cmd->add_flag("--json", list->json, "Print JSON instead of a table");
    cmd->callback([&global, &status, list] { status = RunList(global, *list); });
}
