// The module's editor-side interface used by the device-entry dialogs. The first sixteen
// operations are each family's; the last sixteen are implemented here once, for the terminal's
// internal devices. The order is fixed like the host's interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mfc/CString.h"
#include "plc/DeviceFields.h"
#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

class CPlcObject {
public:
    using PqDevice = pqcore::PqDevice;
    using Names = std::vector<std::wstring>;
    using Codes = std::vector<int>;

    // Each family's operations.
    virtual DeviceResult FieldsToDevice(PqDevice& device, DeviceFields& fields) const = 0;  // 1
    virtual DeviceResult DeviceToFields(PqDevice device, DeviceFields& fields) const = 0;   // 2
    virtual bool GetNumberBase(const PqDevice& device, int& base) const = 0;                // 3
    virtual bool GetDevicePrefix(const PqDevice& device, std::wstring& prefix) const = 0;   // 4
    virtual bool GetDeviceKindList(const PqDevice& device, int dataType, int editFlags,     // 5
                                   Names& names, Codes& codes) const = 0;
    virtual bool GetNumberRangeTexts(const PqDevice& device, Names& lows,  // 6
                                     Names& highs) const = 0;
    virtual bool GetBitPositionRange(const PqDevice& device, int& base, int& min,  // 7
                                     int& max, int& digits) const = 0;
    virtual bool CanUseBitOfWord(const PqDevice& device, int dataType) const = 0;     // 8
    virtual bool GetDeviceKindText(const PqDevice& device, CString& kind) const = 0;  // 9
    virtual DeviceResult CheckDeviceFields(DeviceFields& fields, PqDevice& device,    // 10
                                           int count, PqDevice& before) const = 0;
    virtual bool GetInitialNumber(const PqDevice& device, std::int32_t& number) const = 0;  // 11
    virtual bool IsCompactTerminal() const = 0;                                             // 12
    virtual bool SetDeviceByPrefix(std::wstring prefix, int dataType,                       // 13
                                   PqDevice& device) const = 0;
    virtual PqDevice GetDefaultBitDevice() const = 0;                                // 14
    virtual PqDevice GetDefaultWordDevice() const = 0;                               // 15
    virtual void GetDeviceKinds(int category, const PqDevice& device, int dataType,  // 16
                                int editFlags, Names& names, Codes& codes) const = 0;

    // Shared operations.
    virtual int SetEditFlags(int flags);                                          // 17
    virtual int GetEditFlags() const;                                             // 18
    virtual bool IsInternalDevice(const PqDevice& device) const;                  // 19
    virtual bool GetInternalNumberBase(const PqDevice& device, int& base) const;  // 20
    virtual bool GetInternalDevicePrefix(const PqDevice& device,                  // 21
                                         std::wstring& prefix) const;
    virtual bool AddInternalWordKinds(const PqDevice& device, int dataType, int editFlags,  // 22
                                      Names& names, Codes& codes) const;
    virtual bool AddInternalBitKinds(const PqDevice& device, int dataType, int editFlags,  // 23
                                     Names& names, Codes& codes) const;
    virtual bool GetInternalNumberRangeTexts(const PqDevice& device, Names& lows,  // 24
                                             Names& highs) const;
    virtual bool CanUseInternalBitOfWord(const PqDevice& device, int dataType) const;     // 25
    virtual bool GetInternalDeviceKindText(const PqDevice& device, CString& kind) const;  // 26
    virtual bool GetInternalInitialNumber(const PqDevice& device,                         // 27
                                          std::int32_t& number) const;
    virtual bool SetInternalDeviceByPrefix(std::wstring prefix, int dataType,  // 28
                                           PqDevice& device) const;
    virtual PqDevice GetDefaultInternalBitDevice() const;   // 29
    virtual PqDevice GetDefaultInternalWordDevice() const;  // 30
    virtual PqDevice GetFirstInternalBitDevice() const;     // 31
    virtual PqDevice GetFirstInternalWordDevice() const;    // 32

    // The copy of the terminal type that these operations read; kept equal to the host-side
    // copy by SetTerminalType.
    int EditorTerminalType() const { return mTerminalType; }

protected:
    CPlcObject() = default;
    CPlcObject(const CPlcObject&) = default;
    CPlcObject& operator=(const CPlcObject&) = default;
    // Never deleted through this interface: the host frees objects through PqPlcIF.
    ~CPlcObject() = default;

    void SetEditorTerminalType(int type) { mTerminalType = type; }

private:
    std::int32_t mEditFlags = 0;
    std::int32_t mTerminalType = 2;
};
