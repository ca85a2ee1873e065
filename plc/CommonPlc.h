// Shared implementations of the host interface that need no family knowledge, plus the data-type
// tag behind the host's operations.
#pragma once

#include <cstdint>
#include <string>

#include "pqcore/PqPlcIF.h"

class CommonPlc : public pqcore::PqPlcIF {
public:
    using PqDevice = pqcore::PqDevice;

    int GetPlcGroupCode() const override;
    DeviceResult DeviceToTypedString(const PqDevice& device, std::wstring& text,
                                     bool detailedType) const override;
    DeviceResult TypedStringToDevice(const std::wstring& text, PqDevice& device,
                                     std::wstring& typeTag, bool detailedType) const override;
    int SetCompactTerminal(bool compact) override;
    bool IsNetworkAvailable() const override;
    bool IsNetworkAvailableEx() const override;
    bool IsOptionAvailable() const override;
    bool IsBitOffsetAddress(const PlcAddress& address) const override;
    int CompareDevices(const PqDevice& a, const PqDevice& b, bool ignoreSegment) const override;
    bool IsInternalDeviceValid(const PqDevice& device) const override;

    // Behind the host's operations; only DeviceToTypedString uses it.
    virtual DeviceResult GetDataTypeTag(const PqDevice& device, std::wstring& tag,
                                        bool detailed) const;

    // The host-side copy of the terminal type (0..7, or a negative value kept as given).
    int TerminalType() const { return mTerminalType; }

protected:
    CommonPlc() = default;
    void SetHostTerminalType(int type) { mTerminalType = type; }

private:
    std::int32_t mTerminalType = 2;
};
