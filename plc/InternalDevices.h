// The terminal's own devices (GB bits, GD and GS words), the same in every family. These routines
// take the terminal type explicitly: host-side operations pass their copy, editor-side ones theirs.
#pragma once

#include <string>
#include <string_view>

#include "mfc/CString.h"
#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

namespace internal_device {

inline constexpr int kGD = 12289;
inline constexpr int kGB = 12290;
inline constexpr int kGS = 12291;
inline constexpr int kEG = 225;  // recognised by the parser, refused everywhere

// Codes of the compact terminal's flat addresses.
inline constexpr int kCompactGB = 3841;
inline constexpr int kCompactGD = 3842;
inline constexpr int kCompactNone = 4095;

}  // namespace internal_device

// Checks `count` consecutive units of the device's data type against the internal ranges of the
// terminal type. Code 0 (no device) passes; any code that is not internal gives UnknownDeviceCode.
DeviceResult CheckInternalDeviceRange(int terminalType, const pqcore::PqDevice& device, int count);

// "GB100", "GD100", "GD100.b5" (bit of a word for data type 'b'); empty for no device; "??" and
// the check's result for anything the check refuses.
DeviceResult InternalDeviceToString(int terminalType, const pqcore::PqDevice& device,
                                    std::wstring& text);
// The same text appended to `text` (which keeps its storage); on failure `text` becomes "??".
DeviceResult AppendInternalDeviceText(int terminalType, const pqcore::PqDevice& device,
                                      std::wstring& text);

// Appends the ".b<n>" that names the bit of a bit device ('b') in a word kind; nothing otherwise.
void AppendBitSuffix(std::wstring& text, const pqcore::PqDevice& device);

// Parses "GB<n>", "GD<n>[.b<bit>]", "GS<n>[.b<bit>]" (and "EG<n>", which the check then
// refuses). The device is cleared first and may be left partly set on failure.
DeviceResult StringToInternalDevice(int terminalType, const std::wstring& text, int dataType,
                                    pqcore::PqDevice& device);
// The same for a text that NormalizeDeviceText(text, true) has already made.
DeviceResult StringToInternalDevice(int terminalType, std::string_view normalized, int dataType,
                                    pqcore::PqDevice& device);

// A bit suffix ".<n>" or ".B<n>" at the start of `text`: the characters it takes (0 for none)
// and its value in `bit`.
int ParseBitSuffix(std::string_view text, unsigned& bit);

// Flat address of an internal device; on the compact terminal GB, GD and no device travel under
// the codes 3841, 3842 and 4095.
DeviceResult InternalDeviceToPlcAddress(int terminalType, const pqcore::PqDevice& device,
                                        PlcAddress& address);
DeviceResult PlcAddressToInternalDevice(int terminalType, const PlcAddress& address,
                                        pqcore::PqDevice& device);

// 'B' for GB, 'W' for GD, GS and EG, '?' for anything else (no device included).
char GetInternalDeviceKindLetter(const pqcore::PqDevice& device);

// Whether the whole text is one unsigned number in base 8, 10 or 16 (leading white space
// allowed, no sign).
bool IsValidNumberText(int base, const CString& text);
