// Loads a PLC module file and reaches it only through its three entry points, as the screen
// editor does.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "mfc/Afx.h"
#include "plc/PlcExports.h"
#include "pqcore/PqPlcIF.h"

class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModuleHost {
public:
    // Throws ModuleError when the file cannot be loaded or lacks an entry point.
    explicit ModuleHost(const std::string& path);
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Objects go back to the module that made them.
    struct Deleter {
        FreePlcFunction free;
        void operator()(pqcore::PqPlcIF* plc) const { free(plc); }
    };
    using Plc = std::unique_ptr<pqcore::PqPlcIF, Deleter>;

    std::wstring IdNames() const;
    std::vector<std::wstring> Ids() const;
    // Null when the module does not serve the identifier.
    Plc Create(const std::wstring& id) const;

    const std::string& Path() const { return mPath; }
    // The module's instance handle, by which its resources are loaded (what LoadLibrary gives
    // on Windows).
    HINSTANCE Instance() const { return mInstance; }
    CreatePlcFunction CreateEntry() const { return mCreate; }
    GetPlcIdNamesFunction IdNamesEntry() const { return mIdNames; }
    FreePlcFunction FreeEntry() const { return mFree; }

private:
    std::string mPath;
    void* mHandle = nullptr;
    HINSTANCE mInstance = nullptr;
    CreatePlcFunction mCreate = nullptr;
    GetPlcIdNamesFunction mIdNames = nullptr;
    FreePlcFunction mFree = nullptr;
};

// ZORVIKAN.PLC next to the running executable.
std::string DefaultModulePath();

// Narrow <-> wide for identifiers and device texts typed on a command line (UTF-8).
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
