// The ZORVIKAN-SH family (CP9200SH/MP900): the MP kinds and syntax with SH's ranges, zero padding
// and block codes, and no network part.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanSH final : public FamilyPlc<ZorvikanSH> {
public:
    static constexpr int kPlcCode = 8;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-SH";

    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override;
    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override;

    // Family rules (see FamilyPlc.h): the ones every family has, then its own.
    ZV_FAMILY_RULES
    // Internal devices travel without their channel.
    static constexpr family::InternalChannel kInternalChannel = family::InternalChannel::Dropped;
    static std::optional<std::int32_t> MaxTypedValue();
    static int NumberBaseOf(const PqDevice& device);
    bool BitOfWordOffered() const;
    static bool KindsOffered() { return true; }
    bool CrossKindsOffered() const;
};
