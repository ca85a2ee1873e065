// The ZORVIKAN-GL family (GL/PROGIC8): decimal device numbers counted from 1, no network part.
// D and the words R and SR are numbered in three blocks of 2048 (1.., 10001.., 20001..) that a
// run of devices may not cross; every other kind is one range. Records count bits throughout:
// word number × 16 + bit for the word kinds.
#pragma once

#include <string_view>

#include "families/FamilyPlc.h"

class ZorvikanGL final : public FamilyPlc<ZorvikanGL> {
public:
    static constexpr int kPlcCode = 4;
    static constexpr std::wstring_view kPlcId = L"ZORVIKAN-GL";
    static constexpr std::int32_t kInitialNumber = 1;

    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override;

    DeviceResult DeviceToFields(PqDevice device, DeviceFields& fields) const override;
    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override;
    DeviceResult CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                   PqDevice& reference) const override;

    // Family rules (see FamilyPlc.h): the ones every family has, then its own.
    ZV_FAMILY_RULES
    // Internal devices' flat addresses carry the channel whatever their conversion gives.
    static constexpr family::InternalChannel kInternalChannel = family::InternalChannel::Always;
};
