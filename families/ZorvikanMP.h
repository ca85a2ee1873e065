// The ZORVIKAN-MP family: the only one whose device texts and records carry a network address.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanMP final : public FamilyPlc<ZorvikanMP> {
public:
    static constexpr int kPlcCode = 25;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-MP";

    bool IsNetworkAvailable() const override;
    bool IsNetworkAvailableEx() const override;
    bool IsOptionAvailable() const override;

    // Behind the shared operations, in this order; used by the family's own dialog.
    virtual bool GetNetworkNumberRange(const PqDevice& device, int& base, int& min, int& max,
                                       int& digits) const;
    virtual bool GetStationNumberRange(const PqDevice& device, int& base, int& min, int& max,
                                       int& digits) const;
    virtual bool IsNetworkUnset(const PqDevice& device) const;
    virtual bool CanHaveNetwork(const PqDevice& device) const;
};
