#include "Session.h"

#include <string_view>

namespace {

struct Tag {
    std::string_view tag;
    int type;
};
constexpr Tag kTags[] = {{"b", 'b'},   {"s16", 'i'}, {"u16", 'u'}, {"d16", 'd'}, {"s32", 'I'},
                         {"u32", 'U'}, {"d32", 'D'}, {"flt", 'F'}, {"w", 'i'}};

}  // namespace

void AddPlcOptions(CLI::App& command, PlcOptions& options, bool withType) {
    command.add_option("--plc", options.plc, "PLC type identifier")->capture_default_str();
    command
        .add_option("--terminal", options.terminal, "Terminal type (values of 8 or more mean 4)")
        ->capture_default_str();
    if (withType)
        command
            .add_option("--type", options.type,
                        "Data type: a character (b i u d I U D F) or a tag (b s16 u16 d16 s32 u32 "
                        "d32 flt w)")
            ->capture_default_str()
            ->check([](const std::string& text) {
                return ParseDataType(text) ? std::string() : "not a data type: " + text;
            });
    command.add_flag("--json", options.json, "Print JSON");
}

std::optional<int> ParseDataType(const std::string& text) {
    for (const Tag& t : kTags)
        if (text == t.tag) return t.type;
    if (text.size() == 1 && text[0] > ' ' && text[0] < 127) return text[0];
    return std::nullopt;
}

int DataTypeOf(const PlcOptions& options) {
    const auto type = ParseDataType(options.type);
    if (!type) throw UsageError("not a data type: " + options.type);
    return *type;
}

ModuleHost::Plc CreateSessionPlc(const ModuleHost& host, const std::string& id, int terminal) {
    auto plc = host.Create(Widen(id));
    if (!plc)
        throw UsageError("the module does not serve PLC type '" + id + "' (it serves " +
                         Narrow(host.IdNames()) + ")");
    plc->SetTerminalType(terminal);
    return plc;
}

CPlcObject& EditorOf(pqcore::PqPlcIF& plc) {
    // Across the module boundary: the run-time type test compares classes by name.
    auto* editor = dynamic_cast<CPlcObject*>(&plc);
    if (editor == nullptr) throw ModuleError("the PLC object has no editor interface (CPlcObject)");
    return *editor;
}

std::string TypeText(int type) {
    if (type > 32 && type < 127) return std::string(1, static_cast<char>(type));
    return std::to_string(type);
}
