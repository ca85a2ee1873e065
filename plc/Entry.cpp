// The module's only exported functions. Everything else is hidden (see the linker script), so a
// host can reach the module only through these three and the objects they hand out.
#include "plc/Factory.h"
#include "plc/PlcExports.h"

#if defined(_WIN32)
#define ZV_PLC_EXPORT __declspec(dllexport)
#else
#define ZV_PLC_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

ZV_PLC_EXPORT pqcore::PqPlcIF* ZV_PLC_CALL CreatePlc(const std::wstring& id) {
    return CreatePlcObject(id);
}

ZV_PLC_EXPORT void ZV_PLC_CALL GetPlcIdNames(std::wstring& names) { names = PlcIdNames(); }

ZV_PLC_EXPORT void ZV_PLC_CALL FreePlc(pqcore::PqPlcIF* plc) { FreePlcObject(plc); }

}  // extern "C"
