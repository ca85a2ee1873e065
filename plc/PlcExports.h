// The three entry points of a PLC module, as a host sees them. A host resolves them by name from
// the loaded library and reaches everything else through the returned PqPlcIF.
#pragma once

#include <string>

#include "pqcore/PqPlcIF.h"

#if defined(_WIN32)
#define ZV_PLC_CALL __stdcall
#else
#define ZV_PLC_CALL
#endif

using CreatePlcFunction = pqcore::PqPlcIF*(ZV_PLC_CALL*)(const std::wstring& id);
using GetPlcIdNamesFunction = void(ZV_PLC_CALL*)(std::wstring& names);
using FreePlcFunction = void(ZV_PLC_CALL*)(pqcore::PqPlcIF* plc);

inline constexpr const char* kCreatePlcSymbol = "CreatePlc";
inline constexpr const char* kGetPlcIdNamesSymbol = "GetPlcIdNames";
inline constexpr const char* kFreePlcSymbol = "FreePlc";

// The module's file name.
inline constexpr const char* kPlcModuleFileName = "ZORVIKAN.PLC";
