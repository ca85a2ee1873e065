// The host's abstract PLC interface. The host calls these operations through its own
// declaration, so their order (virtual destructor first) is a binary contract: never reorder,
// insert or remove an operation.
#pragma once

#include <string>

#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

namespace pqcore {

class PqPlcIF {
public:
    virtual ~PqPlcIF() = default;                                // 1
    virtual int GetPlcCode() const = 0;                          // 2
    virtual int GetPlcGroupCode() const = 0;                     // 3
    virtual std::wstring GetPlcId() const = 0;                   // 4
    virtual PqDevice GetDefaultBitDevice() const = 0;            // 5
    virtual PqDevice GetDefaultWordDevice() const = 0;           // 6
    virtual DeviceResult DeviceToString(const PqDevice& device,  // 7
                                        std::wstring& text) const = 0;
    virtual DeviceResult DeviceToTypedString(const PqDevice& device,  // 8
                                             std::wstring& text, bool detailedType) const = 0;
    virtual DeviceResult DeviceToLocalString(const PqDevice& device,  // 9
                                             std::wstring& text) const = 0;
    virtual DeviceResult NetworkToString(const PqDevice& device,  // 10
                                         std::wstring& text) const = 0;
    virtual DeviceResult StringToDevice(const std::wstring& text, int dataType,  // 11
                                        PqDevice& device) const = 0;
    virtual DeviceResult TypedStringToDevice(const std::wstring& text, PqDevice& device,  // 12
                                             std::wstring& typeTag, bool detailedType) const = 0;
    virtual DeviceResult CheckDeviceRange(const PqDevice& device, int count) const = 0;  // 13
    virtual int SetCompactTerminal(bool compact) = 0;                                    // 14
    virtual int SetTerminalType(int type) = 0;                                           // 15
    virtual bool IsNetworkAvailable() const = 0;                                         // 16
    virtual bool IsNetworkAvailableEx() const = 0;                                       // 17
    virtual bool IsOptionAvailable() const = 0;                                          // 18
    virtual DeviceResult DeviceToPlcAddress(const PqDevice& device,                      // 19
                                            PlcAddress& address) const = 0;
    virtual DeviceResult PlcAddressToDevice(const PlcAddress& address,  // 20
                                            PqDevice& device) const = 0;
    virtual bool IsPlcBitAddress(const PlcAddress& address) const = 0;     // 21
    virtual bool IsAvailableForTerminal(int ignored) const = 0;            // 22
    virtual bool IsAvailableForTerminalEx(int ignored) const = 0;          // 23
    virtual bool IsBitOffsetAddress(const PlcAddress& address) const = 0;  // 24
    virtual int GetInterfaceLevel() const = 0;                             // 25
    virtual bool IsBitDevice(const PqDevice& device) const = 0;            // 26
    virtual bool IsWordDevice(const PqDevice& device) const = 0;           // 27
    virtual int CompareDevices(const PqDevice& a, const PqDevice& b,       // 28
                               bool ignoreSegment) const = 0;
    virtual int GetDeviceOrder(const PqDevice& device) const = 0;                       // 29
    virtual const char* const* GetDeviceNameTable(int& count, int which) const = 0;     // 30
    virtual const int* GetDeviceCodeTable(int& count) const = 0;                        // 31
    virtual bool IsInternalDeviceValid(const PqDevice& device) const = 0;               // 32
    virtual bool EditDevice(int parent, int dataType, int editFlags, PqDevice& device,  // 33
                            int extra) = 0;
};

}  // namespace pqcore
