#include "ModuleHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "mfc/AfxImage.h"
#include "util/TextConvert.h"

namespace {

void* Symbol(void* handle, const char* name, const std::string& path) {
    dlerror();
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) throw ModuleError(path + ": no entry point " + name);
    return symbol;
}

template <class Function>
Function Resolve(void* handle, const char* name, const std::string& path) {
    return reinterpret_cast<Function>(Symbol(handle, name, path));
}

}  // namespace

ModuleHost::ModuleHost(const std::string& path) : mPath(path) {
    // RTLD_LOCAL: the module's own copies of shared classes stay its own.
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mHandle == nullptr) {
        const char* why = dlerror();
        throw ModuleError("cannot load " + path + ": " + (why ? why : "unknown error"));
    }
    try {
        mCreate = Resolve<CreatePlcFunction>(mHandle, kCreatePlcSymbol, path);
        mIdNames = Resolve<GetPlcIdNamesFunction>(mHandle, kGetPlcIdNamesSymbol, path);
        mFree = Resolve<FreePlcFunction>(mHandle, kFreePlcSymbol, path);
        // The image that holds the entry point is the module: its handle keys its resources.
        mInstance = AfxImageHandleOf(Symbol(mHandle, kCreatePlcSymbol, path));
        if (mInstance == nullptr) throw ModuleError(path + ": cannot find the loaded image");
    } catch (...) {
        dlclose(mHandle);
        throw;
    }
}

ModuleHost::~ModuleHost() {
    if (mHandle != nullptr) dlclose(mHandle);
}

std::wstring ModuleHost::IdNames() const {
    std::wstring names;
    mIdNames(names);
    return names;
}

std::vector<std::wstring> ModuleHost::Ids() const {
    std::vector<std::wstring> ids;
    const std::wstring names = IdNames();
    std::size_t start = 0;
    while (start <= names.size() && !names.empty()) {
        const auto comma = names.find(L',', start);
        ids.push_back(names.substr(start, comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return ids;
}

ModuleHost::Plc ModuleHost::Create(const std::wstring& id) const {
    return Plc(mCreate(id), Deleter{mFree});
}

std::string DefaultModulePath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return kPlcModuleFileName;
    std::string self(buffer, static_cast<std::size_t>(length));
    const auto slash = self.rfind('/');
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
           kPlcModuleFileName;
}

std::wstring Widen(const std::string& text) {
    return util::Utf8ToWString(text);
}

std::string Narrow(const std::wstring& text) {
    return util::WStringToUtf8(text);
}
