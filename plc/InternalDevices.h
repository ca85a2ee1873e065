// The terminal's own devices (GB bits, GD and GS words), the same in every family. These routines
// take the terminal type explicitly: host-side operations pass their copy, editor-side ones theirs.
#pragma once

#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

namespace internal_device {

inline constexpr int kGD = 12289;
inline constexpr int kGB = 12290;
inline constexpr int kGS = 12291;
inline constexpr int kEG = 225;  // recognised by the parser, refused everywhere

}  // namespace internal_device

// Checks `count` consecutive units of the device's data type against the internal ranges of the
// terminal type. Code 0 (no device) passes; any code that is not internal gives UnknownDeviceCode.
DeviceResult CheckInternalDeviceRange(int terminalType, const pqcore::PqDevice& device, int count);

// 'B' for GB, 'W' for GD, GS and EG, '?' for anything else (no device included).
char GetInternalDeviceKindLetter(const pqcore::PqDevice& device);
