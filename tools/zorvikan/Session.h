// What the commands share: the options that pick a PLC object, its creation, and the editor
// interface of an object.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <stdexcept>
#include <string>

#include "ModuleHost.h"
#include "plc/CPlcObject.h"

// A command line that names something the module or the files do not have; exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PlcOptions {
    std::string plc = "ZORVIKAN-MP";
    int terminal = 2;
    std::string type = "i";
    bool json = false;
};

// --plc, --terminal, --json, and --type when the command takes a data type.
void AddPlcOptions(CLI::App& command, PlcOptions& options, bool withType);

// A data type given as its character ("i", "U") or as a type tag ("s16", "u32", "w").
std::optional<int> ParseDataType(const std::string& text);
int DataTypeOf(const PlcOptions& options);  // throws UsageError

// A new object of the PLC type with the terminal type set; throws UsageError for a type the
// module does not serve.
ModuleHost::Plc CreateSessionPlc(const ModuleHost& host, const std::string& id, int terminal);

// The editor interface of a PLC object; throws ModuleError when the object has none.
CPlcObject& EditorOf(pqcore::PqPlcIF& plc);

// One character for a data type that is a printable character, else its number.
std::string TypeText(int type);
