// The ZORVIKAN-H family (CP9200(H)): seven prefixes on six codes. Code 175 is written "DW" for
// words 0..2047 and "MW" (counted from word 2048) beyond; IB and OB are numbered by bit address.
// Flat addresses fold all bits under 157 and all registers but ZD under 175.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanH final : public FamilyPlc<ZorvikanH> {
public:
    static constexpr int kPlcCode = 10;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-H";

    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override;
    int GetDeviceOrder(const PqDevice& device) const override;
    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override;
    DeviceResult CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                   PqDevice& before) const override;

    // Family rules (see FamilyPlc.h): the ones every family has, then its own.
    ZV_FAMILY_RULES
    static std::optional<std::int32_t> MaxTypedValue();
    static int NumberBaseOf(const PqDevice& device);
};
