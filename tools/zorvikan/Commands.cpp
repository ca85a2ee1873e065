#include "Commands.h"

#include <charconv>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

#include "JsonForms.h"
#include "ModuleHost.h"
#include "Session.h"
#include "Texts.h"

namespace {

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

// ---- list ---------------------------------------------------------------------------------

struct ListOptions {
    int terminal = 2;
    bool json = false;
};

// The record as the list has always shown it.
Json ListDeviceJson(const pqcore::PqDevice& d) {
    return Json{{"channel", d.mChannel},
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

int RunList(const GlobalOptions& global, const ListOptions& options) {
    const ModuleHost host(ModulePath(global));
    const ModuleTexts texts(host);
    Json all = Json::array();
    std::ostringstream table;
    table << std::left << std::setw(14) << "PLC type" << std::right << std::setw(5) << "code"
          << std::setw(6) << "group" << std::setw(6) << "level" << std::setw(9) << "terminal"
          << "  " << std::left << std::setw(10) << "available" << std::setw(8) << "network"
          << std::setw(7) << "option" << std::setw(13) << "default bit" << std::setw(13)
          << "default word"
          << "display name\n";

    for (const std::wstring& id : host.Ids()) {
        const auto plc = host.Create(id);
        if (!plc) throw ModuleError("the module lists " + Narrow(id) + " but does not create it");
        plc->SetTerminalType(options.terminal);
        const pqcore::PqDevice bit = plc->GetDefaultBitDevice();
        const pqcore::PqDevice word = plc->GetDefaultWordDevice();
        const std::string displayName = texts.DisplayName(plc->GetPlcId());
        Json entry{{"id", Narrow(plc->GetPlcId())},
                   {"plcCode", plc->GetPlcCode()},
                   {"plcGroupCode", plc->GetPlcGroupCode()},
                   {"interfaceLevel", plc->GetInterfaceLevel()},
                   {"terminalType", options.terminal},
                   {"availableForTerminal", plc->IsAvailableForTerminal(0)},
                   {"availableForTerminalEx", plc->IsAvailableForTerminalEx(0)},
                   {"networkAvailable", plc->IsNetworkAvailable()},
                   {"networkAvailableEx", plc->IsNetworkAvailableEx()},
                   {"optionAvailable", plc->IsOptionAvailable()},
                   {"defaultBitDevice", ListDeviceJson(bit)},
                   {"defaultWordDevice", ListDeviceJson(word)},
                   {"displayName", displayName}};
        table << std::left << std::setw(14) << entry["id"].get<std::string>() << std::right
              << std::setw(5) << plc->GetPlcCode() << std::setw(6) << plc->GetPlcGroupCode()
              << std::setw(6) << plc->GetInterfaceLevel() << std::setw(9) << options.terminal
              << "  " << std::left << std::setw(10) << YesNo(plc->IsAvailableForTerminal(0))
              << std::setw(8) << YesNo(plc->IsNetworkAvailable()) << std::setw(7)
              << YesNo(plc->IsOptionAvailable()) << std::setw(13) << DeviceBrief(bit)
              << std::setw(12) << DeviceBrief(word) << displayName << "\n";
        all.push_back(std::move(entry));
    }

    if (options.json)
        std::cout << all.dump(2) << "\n";
    else
        std::cout << table.str();
    return kExitOk;
}

// ---- shared by parse and address ----------------------------------------------------------

Json ResultJson(DeviceResult result, const ModuleTexts& texts) {
    Json out{{"result", static_cast<int>(result)}, {"resultName", ResultName(result)}};
    const std::string message = texts.ResultMessage(result);
    out["message"] = message.empty() ? Json() : Json(message);
    return out;
}

// What the host learns about a valid device: its texts, flat address and kind.
void DescribeDevice(const pqcore::PqPlcIF& plc, const pqcore::PqDevice& device, Json& out) {
    std::wstring local, full, typed;
    plc.DeviceToLocalString(device, local);
    plc.DeviceToString(device, full);
    plc.DeviceToTypedString(device, typed, true);
    PlcAddress address;
    const DeviceResult addressResult = plc.DeviceToPlcAddress(device, address);
    out["device"] = DeviceJson(device);
    out["localText"] = Utf8Of(local);
    out["fullText"] = Utf8Of(full);
    out["typedText"] = Utf8Of(typed);
    out["address"] = addressResult == DeviceResult::Ok ? AddressJson(address) : Json();
    out["kind"] = plc.IsBitDevice(device)    ? Json("bit")
                  : plc.IsWordDevice(device) ? Json("word")
                                             : Json();
}

std::string AddressLine(const Json& a) {
    std::ostringstream line;
    const int kind = a["kind"].get<int>();
    const char* kindName = DataKindName(kind);
    line << "code " << a["code"] << "  address " << a["address"] << "  bit " << a["bit"]
         << "  kind " << (kindName ? kindName : "?") << " (" << kind << ")  channel "
         << a["channel"] << "  network " << a["network"] << "  station " << a["station"];
    return line.str();
}

void PrintOutcome(const std::string& subject, const Json& entry) {
    std::cout << subject << ": " << entry["resultName"].get<std::string>() << " ("
              << entry["result"] << ")";
    if (!entry["message"].is_null()) std::cout << ": " << entry["message"].get<std::string>();
    std::cout << "\n";
    if (!entry.contains("device")) return;
    const Json& d = entry["device"];
    std::cout << "  device   mCode " << d["mCode"] << "  mNumber " << d["mNumber"] << "  mType "
              << (d["mType"].is_string() ? d["mType"].get<std::string>() : d["mType"].dump())
              << "  mChannel " << d["mChannel"] << "  mNetworkNo " << d["mNetworkNo"]
              << "  mStationNo " << d["mStationNo"] << "  mExtNo " << d["mExtNo"] << "\n"
              << "  texts    local " << entry["localText"].get<std::string>() << "  full "
              << entry["fullText"].get<std::string>() << "  typed "
              << entry["typedText"].get<std::string>() << "\n"
              << "  address  "
              << (entry["address"].is_null() ? std::string("??") : AddressLine(entry["address"]))
              << "\n"
              << "  kind     "
              << (entry["kind"].is_null() ? std::string("none") : entry["kind"].get<std::string>())
              << "\n";
}

// ---- parse --------------------------------------------------------------------------------

struct ParseOptions {
    PlcOptions plc;
    std::vector<std::string> texts;
};

int RunParse(const GlobalOptions& global, const ParseOptions& options) {
    const ModuleHost host(ModulePath(global));
    const ModuleTexts texts(host);
    const int type = DataTypeOf(options.plc);
    const auto plc = CreateSessionPlc(host, options.plc.plc, options.plc.terminal);
    Json all = Json::array();
    bool allValid = true;
    for (const std::string& text : options.texts) {
        pqcore::PqDevice device;
        const DeviceResult result = plc->StringToDevice(Widen(text), type, device);
        Json entry{{"text", text}};
        entry.update(ResultJson(result, texts));
        if (result == DeviceResult::Ok)
            DescribeDevice(*plc, device, entry);
        else
            allValid = false;
        if (!options.plc.json) PrintOutcome(text, entry);
        all.push_back(std::move(entry));
    }
    if (options.plc.json) std::cout << all.dump(2) << "\n";
    return allValid ? kExitOk : kExitInvalid;
}

// ---- address ------------------------------------------------------------------------------

struct AddressOptions {
    PlcOptions plc;
    int code = 0;
    int address = 0;
    int bit = 0;
    std::string kind;
    int channel = 0;
    int network = 0;
    int station = 255;
};

int RunAddress(const GlobalOptions& global, const AddressOptions& options) {
    PlcAddress address;
    address.code = options.code;
    address.address = options.address;
    address.bit = options.bit;
    address.channel = static_cast<std::uint8_t>(options.channel);
    address.network = static_cast<std::uint8_t>(options.network);
    address.station = static_cast<std::uint8_t>(options.station);
    const auto kind = DataKindFromName(options.kind);
    address.kind = static_cast<PlcDataKind>(kind ? *kind : std::stoi(options.kind));

    const ModuleHost host(ModulePath(global));
    const ModuleTexts texts(host);
    const auto plc = CreateSessionPlc(host, options.plc.plc, options.plc.terminal);
    pqcore::PqDevice device;
    const DeviceResult result = plc->PlcAddressToDevice(address, device);
    Json entry{{"input", AddressJson(address)}};
    entry.update(ResultJson(result, texts));
    if (result == DeviceResult::Ok) DescribeDevice(*plc, device, entry);
    if (options.plc.json)
        std::cout << entry.dump(2) << "\n";
    else
        PrintOutcome(AddressLine(entry["input"]), entry);
    return result == DeviceResult::Ok ? kExitOk : kExitInvalid;
}

// ---- kinds --------------------------------------------------------------------------------

struct KindsOptions {
    PlcOptions plc;
    int flags = 0;
};

// Until the module's GetDeviceKindList answers, the kinds are listed by GetDeviceKinds
// categories (1 bit kinds, 2 word kinds, 3 bit kinds for word data, 4 word kinds for bit data):
// a bit data type lists the word kinds first, then the bit kinds; any other type the word
// kinds, then the bit kinds. Edit flag 1 keeps to bit kinds, 2 to word kinds, 4 (alone or with
// 1) to bit kinds; any other combination lists nothing.
std::vector<int> FallbackCategories(int dataType, int flags) {
    const bool bitData = dataType == 'b';
    switch (flags) {
        case 0:
            return bitData ? std::vector<int>{4, 1} : std::vector<int>{2, 3};
        case 1:
            return {bitData ? 1 : 3};
        case 2:
            return {bitData ? 4 : 2};
        case 4:
        case 5:
            return bitData ? std::vector<int>{1} : std::vector<int>{};
        default:
            return {};
    }
}

int RunKinds(const GlobalOptions& global, const KindsOptions& options) {
    const ModuleHost host(ModulePath(global));
    const ModuleTexts texts(host);
    const int type = DataTypeOf(options.plc);
    const auto plc = CreateSessionPlc(host, options.plc.plc, options.plc.terminal);
    const CPlcObject& editor = EditorOf(*plc);

    pqcore::PqDevice work = type == 'b' ? plc->GetDefaultBitDevice() : plc->GetDefaultWordDevice();
    work.mType = type;
    CPlcObject::Names names;
    CPlcObject::Codes codes;
    Json out{{"plc", options.plc.plc},
             {"terminal", options.plc.terminal},
             {"dataType", TypeJson(type)},
             {"editFlags", options.flags},
             {"dataTypeText", texts.DataTypeText(type)}};
    if (editor.GetDeviceKindList(work, type, options.flags, names, codes)) {
        out["source"] = "GetDeviceKindList";
    } else {
        names.clear();
        codes.clear();
        const std::vector<int> categories = FallbackCategories(type, options.flags);
        for (const int category : categories)
            editor.GetDeviceKinds(category, work, type, options.flags, names, codes);
        out["source"] = "GetDeviceKinds";
        out["categories"] = categories;
    }

    Json kinds = Json::array();
    for (std::size_t i = 0; i < names.size() && i < codes.size(); ++i) {
        // As the dialog does when the kind is chosen.
        pqcore::PqDevice device = work;
        device.mCode = codes[i];
        editor.SetDeviceByPrefix(names[i], device.mType, device);
        int base = 10;
        if (!editor.GetNumberBase(device, base)) base = 10;
        std::int32_t initial = 0;
        editor.GetInitialNumber(device, initial);
        CString kindText;
        editor.GetDeviceKindText(device, kindText);
        CPlcObject::Names lows, highs;
        Json ranges = Json::array();
        std::string rangeText;
        if (editor.GetNumberRangeTexts(device, lows, highs)) {
            for (std::size_t r = 0; r < lows.size() && r < highs.size(); ++r) {
                ranges.push_back({{"low", Utf8Of(lows[r])}, {"high", Utf8Of(highs[r])}});
                if (r > 0) rangeText += "\r\n\r\n";
                rangeText += Utf8Of(lows[r]) + texts.RangeSeparator() + Utf8Of(highs[r]);
            }
        }
        kinds.push_back({{"name", Utf8Of(names[i])},
                         {"code", codes[i]},
                         {"kindText", texts.KindWord(kindText)},
                         {"numberBase", base},
                         {"initialNumber", initial},
                         {"bitOfWord", editor.CanUseBitOfWord(device, type)},
                         {"ranges", std::move(ranges)},
                         {"rangeText", rangeText}});
    }
    out["kinds"] = std::move(kinds);

    if (options.plc.json) {
        std::cout << out.dump(2) << "\n";
        return kExitOk;
    }
    std::cout << options.plc.plc << ", terminal " << options.plc.terminal << ", data type "
              << TypeText(type) << out["dataTypeText"].get<std::string>() << ", edit flags "
              << options.flags << "\n";
    if (out["source"] == "GetDeviceKinds") {
        std::cout << "listed by GetDeviceKinds categories";
        for (const int c : out["categories"])
            std::cout << " " << c;
        std::cout << " (GetDeviceKindList gives no list yet)\n";
    }
    // The range box shows each range over three lines; here it takes one.
    std::string separator = texts.RangeSeparator();
    for (std::string::size_type p; (p = separator.find("\r\n")) != std::string::npos;)
        separator.replace(p, 2, " ");
    std::cout << std::left << std::setw(6) << "kind" << std::right << std::setw(7) << "code"
              << "  " << std::left << std::setw(6) << "text" << std::right << std::setw(5) << "base"
              << "  " << std::left << std::setw(13) << "bit of word"
              << "ranges\n";
    for (const Json& k : out["kinds"]) {
        std::string ranges;
        for (const Json& r : k["ranges"])
            ranges += (ranges.empty() ? "" : ", ") + r["low"].get<std::string>() + separator +
                      r["high"].get<std::string>();
        std::cout << std::left << std::setw(6) << k["name"].get<std::string>() << std::right
                  << std::setw(7) << k["code"].get<int>() << "  " << std::left << std::setw(6)
                  << k["kindText"].get<std::string>() << std::right << std::setw(5)
                  << k["numberBase"].get<int>() << "  " << std::left << std::setw(13)
                  << YesNo(k["bitOfWord"].get<bool>()) << ranges << "\n";
    }
    if (out["kinds"].empty()) std::cout << "(no kinds)\n";
    return kExitOk;
}

}  // namespace

std::string ModulePath(const GlobalOptions& global) {
    return global.modulePath.empty() ? DefaultModulePath() : global.modulePath;
}

void RegisterCommands(CLI::App& app, const GlobalOptions& global, int& status) {
    auto list = std::make_shared<ListOptions>();
    CLI::App* cmd = app.add_subcommand(
        "list", "List the PLC types the module serves and what each answers to the fixed queries");
    cmd->add_option("--terminal", list->terminal,
                    "Terminal type to set first (values of 8 or more mean 4)")
        ->capture_default_str();
    cmd->add_flag("--json", list->json, "Print JSON instead of a table");
    cmd->callback([&global, &status, list] { status = RunList(global, *list); });

    auto parse = std::make_shared<ParseOptions>();
    cmd = app.add_subcommand("parse",
                             "Parse device texts and show the records, texts and flat addresses");
    cmd->add_option("text", parse->texts, "Device texts, e.g. MW100 or \"1-3 MW100\"")->required();
    AddPlcOptions(*cmd, parse->plc, true);
    cmd->callback([&global, &status, parse] { status = RunParse(global, *parse); });

    auto address = std::make_shared<AddressOptions>();
    cmd =
        app.add_subcommand("address", "Turn a flat PLC address back into a device record and text");
    cmd->add_option("--code", address->code, "Flat device code")->required();
    cmd->add_option("--address", address->address, "Word number, or bit number of a bit device")
        ->capture_default_str();
    cmd->add_option("--bit", address->bit, "Bit within the word")->capture_default_str();
    cmd->add_option("--kind", address->kind,
                    "Data kind: a name (Bit WordBit Int16 UInt16 Int32 UInt32 Real BitOffset Bcd16 "
                    "Bcd32) or its number")
        ->required()
        ->check([](const std::string& text) {
            int value = -1;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), value);
            const bool number = error == std::errc() && end == text.data() + text.size() &&
                                value >= 0 && value <= 255;
            return number || DataKindFromName(text) ? std::string() : "not a data kind: " + text;
        });
    cmd->add_option("--channel", address->channel, "Channel")
        ->capture_default_str()
        ->check(CLI::Range(0, 255));
    cmd->add_option("--network", address->network, "Network number")
        ->capture_default_str()
        ->check(CLI::Range(0, 255));
    cmd->add_option("--station", address->station, "Station number minus 1 (255: none)")
        ->capture_default_str()
        ->check(CLI::Range(0, 255));
    AddPlcOptions(*cmd, address->plc, false);
    cmd->callback([&global, &status, address] { status = RunAddress(global, *address); });

    auto kinds = std::make_shared<KindsOptions>();
    cmd = app.add_subcommand("kinds", "List the device kinds the device-entry dialog offers");
    AddPlcOptions(*cmd, kinds->plc, true);
    cmd->add_option("--flags", kinds->flags,
                    "Edit flags: 1 bit kinds, 2 word kinds, 4 bits on word boundaries")
        ->capture_default_str();
    cmd->callback([&global, &status, kinds] { status = RunKinds(global, *kinds); });

    RegisterCheckCommand(app, global, status);
    RegisterServeCommand(app, global, status);
}
