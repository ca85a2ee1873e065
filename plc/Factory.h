// The PLC types this module serves and the creation and release of their objects.
#pragma once

#include <string>

#include "pqcore/PqPlcIF.h"

// "ZORVIKAN-GL,ZORVIKAN-SH,ZORVIKAN-H,ZORVIKAN-MS,ZORVIKAN-MP".
std::wstring PlcIdNames();

// A new object for an exactly matching identifier (terminal type 2, edit flags 0), or null.
pqcore::PqPlcIF* CreatePlcObject(const std::wstring& id);

// Destroys an object this module created; null and objects of any other origin are left alone.
void FreePlcObject(pqcore::PqPlcIF* plc);
