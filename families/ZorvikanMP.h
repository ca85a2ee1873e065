// The ZORVIKAN-MP family (MP2000/MP900): the only one whose device texts and records carry a
// network address ("1-3 MW100"). Every number is a bit address (word × 16 + bit).
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

    // Behind the shared operations, in this order; used by the family's own dialog. Declared
    // before any editor operation of this class (see FamilyPlc.h).
    virtual bool GetNetworkNumberRange(const PqDevice& device, int& base, int& min, int& max,
                                       int& digits) const;
    virtual bool GetStationNumberRange(const PqDevice& device, int& base, int& min, int& max,
                                       int& digits) const;
    virtual bool IsNetworkUnset(const PqDevice& device) const;
    virtual bool CanHaveNetwork(const PqDevice& device) const;

    DeviceResult DeviceToString(const PqDevice& device, std::wstring& text) const override;
    DeviceResult NetworkToString(const PqDevice& device, std::wstring& text) const override;
    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override;

    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override;
    DeviceResult CheckDeviceFields(DeviceFields& fields, PqDevice& device, int count,
                                   PqDevice& before) const override;

    // Family rules (see FamilyPlc.h): the ones every family has, then its own.
    ZV_FAMILY_RULES
    // Internal devices travel without their channel.
    static constexpr family::InternalChannel kInternalChannel = family::InternalChannel::Dropped;
    static std::optional<std::int32_t> MaxTypedValue();
    static int NumberBaseOf(const PqDevice& device);
    bool BitOfWordOffered() const;
    static bool KindsOffered() { return true; }
    bool CrossKindsOffered() const;

    // The network part of a typed text: network number and station field (station + 1).
    struct Network {
        std::uint32_t network = 0;
        std::uint32_t station = 0;
    };
    DeviceResult ReadNetworkPrefix(std::string& text, Network& network) const;
    static DeviceResult StoreNetwork(const Network& network, PqDevice& device);
    DeviceResult CheckNetworkFields(const DeviceFields& fields) const;
    static std::string NetworkPrefixText(const DeviceFields& fields);
    static void FillNetworkFields(const PqDevice& device, DeviceFields& fields);
    void PutNetwork(const PqDevice& device, PlcAddress& address) const;
    void TakeNetwork(const PlcAddress& address, PqDevice& device) const;

private:
    bool CarriesNetwork() const;  // terminal types whose texts and addresses have a network part
    DeviceResult CheckSegment(const PqDevice& device) const;
};
