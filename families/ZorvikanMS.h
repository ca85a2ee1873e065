// The ZORVIKAN-MS family (CP9300MS, MC compatible): bit devices OB and IB numbered by bit, word
// devices I, M and o numbered by word, all decimal, no network part. The family writes the last
// word kind with a lower-case "o" and reads it in either case. On flat addresses the three word
// kinds share M's code: I words from 8000 on, o words from 9000 on.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanMS final : public FamilyPlc<ZorvikanMS> {
public:
    static constexpr int kPlcCode = 15;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-MS";
    // The dialog shows "o" as the family writes it.
    static constexpr bool kUpperPrefixFields = false;

    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override;

    bool GetNumberBase(const PqDevice& device, int& base) const override;
    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override;
    DeviceResult CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                   PqDevice& before) const override;

    // Family rules (see FamilyPlc.h): the ones every family has, then its own.
    ZV_FAMILY_RULES
    static std::optional<std::int32_t> MaxTypedValue();
};
