// The module's entry points: the three exported functions, and the load/unload hook that makes
// the module an extension module of the framework so that its resources (string table, later the
// dialog templates) are found. Only the three functions are exported (see the linker script).
#include "mfc/Afx.h"
#include "plc/Factory.h"
#include "plc/PlcExports.h"

#if defined(_WIN32)
#define ZV_PLC_EXPORT __declspec(dllexport)
// The framework's raw entry for extension modules (it runs before the statics are built).
#include <afxdllx.h>
#else
#include "mfc/AfxImage.h"
#define ZV_PLC_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Module-wide state from load to unload. The instance handle is what EditDevice will make the
// current resource handle while a dialog runs.
AFX_EXTENSION_MODULE gExtensionModule = {};
HINSTANCE gInstance = nullptr;

BOOL ModuleEntry(HINSTANCE instance, DWORD reason) {
    if (reason == DLL_PROCESS_ATTACH) {
        gInstance = instance;
        if (!AfxInitExtensionModule(gExtensionModule, instance)) return FALSE;
        // Owned by the framework's library list from here; AfxTermExtensionModule deletes it.
        new CDynLinkLibrary(gExtensionModule, FALSE);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(gExtensionModule, FALSE);
    }
    return TRUE;
}

}  // namespace

#if defined(_WIN32)

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    return ModuleEntry(instance, reason);
}

#else

// The string table generated from dialogs/ZORVIKAN.rc.
extern const AFX_RESOURCE_IMAGE kZorvikanResources;

namespace {

// What the system loader and DllMain do on Windows: the image's resources become reachable by
// its handle, then the entry point runs. A portable load cannot be refused at this point, so a
// failed entry leaves the module loaded without resources, and every text lookup fails.
__attribute__((constructor)) void OnModuleLoad() {
    HINSTANCE const instance = AfxImageHandleOf(&gExtensionModule);
    if (!AfxMapImageResources(instance, &kZorvikanResources)) return;
    if (!ModuleEntry(instance, DLL_PROCESS_ATTACH)) AfxUnmapImageResources(instance);
}

__attribute__((destructor)) void OnModuleUnload() {
    if (gInstance == nullptr) return;
    ModuleEntry(gInstance, DLL_PROCESS_DETACH);
    AfxUnmapImageResources(gInstance);
}

}  // namespace

#endif

extern "C" {

ZV_PLC_EXPORT pqcore::PqPlcIF* ZV_PLC_CALL CreatePlc(const std::wstring& id) {
    return CreatePlcObject(id);
}

ZV_PLC_EXPORT void ZV_PLC_CALL GetPlcIdNames(std::wstring& names) {
    names = PlcIdNames();
}

ZV_PLC_EXPORT void ZV_PLC_CALL FreePlc(pqcore::PqPlcIF* plc) {
    FreePlcObject(plc);
}

}  // extern "C"
