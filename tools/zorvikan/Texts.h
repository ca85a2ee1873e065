// The user-visible texts of the tool: names of result codes and data kinds (identifiers of the
// interface, not messages), and the module's own messages and display names, which are loaded
// from the loaded module's string table through the framework's resource runtime.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "ModuleHost.h"
#include "mfc/CString.h"
#include "pqcore/PlcTypes.h"

// "Ok", "UnknownDeviceCode", ... ; "Result<n>" for a value outside the enumeration.
std::string ResultName(DeviceResult result);
// "Bit", "WordBit", "Int16", ... ; null for a value that names no kind.
const char* DataKindName(int kind);
std::optional<int> DataKindFromName(const std::string& name);

class ModuleTexts {
public:
    explicit ModuleTexts(const ModuleHost& host) : mInstance(host.Instance()), mPath(host.Path()) {}

    // String `id` of the module's table; throws ModuleError when the module has none.
    const std::string& Load(unsigned id) const;

    // The message the device-entry dialog shows for a result (empty for Ok, which has none;
    // results outside 1..8 give the dialog's "unexpected error" text).
    std::string ResultMessage(DeviceResult result) const;
    // The family's display name; empty for a PLC type the table does not name.
    std::string DisplayName(const std::wstring& plcId) const;
    // The data-type text of the dialog title; empty for a type it has none for.
    std::string DataTypeText(int dataType) const;
    // The dialog's kind word for a kind text from GetDeviceKindText.
    std::string KindWord(const CString& kind) const;
    // Between the lowest and highest number of a range in the dialog's range box.
    const std::string& RangeSeparator() const;

private:
    HINSTANCE mInstance;
    std::string mPath;
    mutable std::map<unsigned, std::string> mLoaded;
};
