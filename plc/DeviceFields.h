// The texts of the device-entry dialog exchanged with a family's FieldsToDevice/DeviceToFields.
#pragma once

#include "mfc/CString.h"

struct DeviceFields {
    CString prefix;   // device-kind name as shown in the kind list
    CString number;   // device number text
    CString bit;      // bit position text
    CString unused1;  // carried for layout; nothing fills or reads it
    CString unused2;
    CString network;  // network number text
    CString station;  // station number text
    CString unused3;
    int useNetwork = 0;  // 0: own network (Host), 1: another network (Other)

    void Reset() { *this = DeviceFields{}; }
};
