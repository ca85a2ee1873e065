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

    // Family rules (see FamilyPlc.h).
    static bool IsOwnCode(int code);
    static bool IsOwnBitKind(int code);
    static void FormatOwn(const PqDevice& device, std::wstring& text);
    static family::DeviceTables Tables(int terminalType);
    static bool IsBitAddressCode(int code);
    static void OwnToPlcAddress(const PqDevice& device, PlcAddress& address);
    static bool OwnFromPlcAddress(const PlcAddress& address, PqDevice& device);
    // Internal devices travel without their channel.
    static constexpr family::InternalChannel kInternalChannel = family::InternalChannel::Dropped;
    static std::span<const family::ParseRule> ParseRules();
    static std::optional<std::int32_t> MaxTypedValue();
    static const wchar_t* PrefixOf(const PqDevice& device);
    static int NumberBaseOf(const PqDevice& device);
    static std::span<const family::PrefixCode> PrefixOrder();
    bool BitOfWordOffered() const;
    static std::span<const family::Kind> BitKinds();
    static std::span<const family::Kind> WordKinds();
    static bool KindsOffered() { return true; }
    bool CrossKindsOffered() const;
};
