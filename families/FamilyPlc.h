// What every family does the same way, written once. A family class derives from
// FamilyPlc<itself> and supplies its tables and rules as plain member functions (below, "the
// family provides"); the object layout stays that of the plug-in contract: CommonPlc (with the
// host interface) first, CPlcObject second, no data members added.
//
// Operation order: on the Itanium C++ ABI, a function declared in a class of the primary chain
// that overrides an operation of the second base gets a slot of its own in the primary table.
// So the host-side helper FamilyPlc overrides host operations only, and the editor-side shared
// operations live in FamilyEditor, on the CPlcObject side. A family that adds operations behind
// the host's (the network family) declares them before any editor operation of its own.
//
// The family provides (host side):
//   bool IsOwnCode(int code) const;           its own device codes
//   bool IsOwnBitKind(int code) const;        which of them are bit kinds
//   void FormatOwn(const PqDevice&, std::wstring&) const;  appends the text of a checked own
//                                                          device
//   family::DeviceTables Tables(int terminalType) const;  name/code/order tables
//   bool IsBitAddressCode(int code) const;    flat codes that carry bit devices
//   void OwnToPlcAddress(const PqDevice&, PlcAddress&) const;    flat form of an own device
//   bool OwnFromPlcAddress(const PlcAddress&, PqDevice&) const;  false: not an own flat code
//   family::InternalChannel kInternalChannel; whether internal devices' flat addresses carry the
//                                             channel
//   std::span<const family::ParseRule> ParseRules() const;
//   std::optional<std::int32_t> MaxTypedValue() const;    bound of a typed value, if any
// and (editor side):
//   const wchar_t* PrefixOf(const PqDevice&) const;       null when the code is not its own
//   int NumberBaseOf(const PqDevice&) const;
//   std::span<const family::PrefixCode> PrefixOrder() const;   SetDeviceByPrefix order
//   bool BitOfWordOffered() const;            whether bits of words may be chosen at all
//   std::span<const family::Kind> BitKinds() const, WordKinds() const;  dialog kind lists
//   bool KindsOffered() const, CrossKindsOffered() const;  which categories have kinds
// plus CheckDeviceRange, GetNumberRangeTexts and CheckDeviceFields.
#pragma once

#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "families/FamilyRules.h"
#include "plc/CPlcObject.h"
#include "plc/CommonPlc.h"
#include "plc/DeviceText.h"
#include "plc/InternalDevices.h"
#include "plc/PlcAddressForms.h"

// The rules every family with devices of its own supplies (the list above), declared once; a
// family declares the optional ones it has beside it.
#define ZV_FAMILY_RULES                                                         \
    static bool IsOwnCode(int code);                                            \
    static bool IsOwnBitKind(int code);                                         \
    static void FormatOwn(const PqDevice& device, std::wstring& text);          \
    static family::DeviceTables Tables(int terminalType);                       \
    static bool IsBitAddressCode(int code);                                     \
    static void OwnToPlcAddress(const PqDevice& device, PlcAddress& address);   \
    static bool OwnFromPlcAddress(const PlcAddress& address, PqDevice& device); \
    static std::span<const family::ParseRule> ParseRules();                     \
    static const wchar_t* PrefixOf(const PqDevice& device);                     \
    static std::span<const family::PrefixCode> PrefixOrder();                   \
    static std::span<const family::Kind> BitKinds();                            \
    static std::span<const family::Kind> WordKinds();

template <class Family>
class FamilyEditor : public CPlcObject {
public:
    using PqDevice = pqcore::PqDevice;

    bool GetBitPositionRange(const PqDevice&, int& base, int& min, int& max,
                             int& digits) const override {
        base = 10;
        min = 0;
        max = 15;
        digits = 1;
        return true;
    }

    bool IsCompactTerminal() const override { return EditorTerminalType() == 1; }

    bool GetNumberBase(const PqDevice& device, int& base) const override {
        if (!Self().IsOwnCode(device.mCode)) return GetInternalNumberBase(device, base);
        base = Self().NumberBaseOf(device);
        return true;
    }

    bool GetDevicePrefix(const PqDevice& device, std::wstring& prefix) const override {
        prefix = L"??";
        if (!Self().IsOwnCode(device.mCode)) return GetInternalDevicePrefix(device, prefix);
        if (const wchar_t* own = Self().PrefixOf(device)) prefix = own;
        return true;
    }

    bool GetDeviceKindText(const PqDevice& device, CString& kind) const override {
        kind.Empty();
        if (!Self().IsOwnCode(device.mCode)) return GetInternalDeviceKindText(device, kind);
        kind = Self().IsOwnBitKind(device.mCode) ? "BIT" : "WORD";
        return true;
    }

    bool GetInitialNumber(const PqDevice& device, std::int32_t& number) const override {
        if (!Self().IsOwnCode(device.mCode)) return GetInternalInitialNumber(device, number);
        number = Family::kInitialNumber;
        return true;
    }

    bool CanUseBitOfWord(const PqDevice& device, int dataType) const override {
        if (!Self().BitOfWordOffered()) return false;
        if (IsInternalDevice(device)) return CanUseInternalBitOfWord(device, dataType);
        CString kind;
        return dataType == 'b' && GetDeviceKindText(device, kind) && kind == "WORD";
    }

    bool SetDeviceByPrefix(std::wstring prefix, int dataType, PqDevice& device) const override {
        const std::int32_t channel = device.mChannel;
        device.Clear();
        device.mType = dataType;
        bool found = false;
        for (const family::PrefixCode& p : Self().PrefixOrder()) {
            if (prefix == p.prefix) {
                device.mCode = p.code;
                device.mNumber = p.number;
                found = true;
                break;
            }
        }
        if (!found && !SetInternalDeviceByPrefix(prefix, dataType, device)) return false;
        device.mChannel = IsInternalDevice(device) ? 0 : channel;
        return true;
    }

    // Dialog texts to record: check each text in its base, compose the device text, parse it.
    DeviceResult FieldsToDevice(PqDevice& device, DeviceFields& fields) const override {
        if (fields.prefix.IsEmpty() || fields.prefix == "??")
            return DeviceResult::UnknownDeviceCode;
        if (fields.number.IsEmpty()) {
            std::int32_t initial = 0;
            GetInitialNumber(device, initial);
            fields.number.Format("%ld", static_cast<long>(initial));
        }
        int base = 10;
        GetNumberBase(device, base);
        if (!IsValidNumberText(base, fields.number)) return DeviceResult::InvalidDeviceFormat;
        if (!fields.bit.IsEmpty()) {
            int bitBase, low, high, digits;
            GetBitPositionRange(device, bitBase, low, high, digits);
            if (!IsValidNumberText(bitBase, fields.bit)) return DeviceResult::InvalidDeviceFormat;
            const long bit = std::strtol(fields.bit.GetString(), nullptr, 10);
            if (bit < low || bit > high) return DeviceResult::NumberOutOfRange;
        }
        if (const auto r = Self().CheckNetworkFields(fields); r != DeviceResult::Ok) return r;

        CString text = CString(Self().NetworkPrefixText(fields)) + fields.prefix + fields.number;
        if (!fields.bit.IsEmpty()) text += ".b" + fields.bit;
        DeviceResult r = Self().StringToDevice(family::WidenFieldText(text), device.mType, device);
        if (r == DeviceResult::Ok && family::BreaksFlag4(device, GetEditFlags()))
            r = DeviceResult::InvalidDeviceNumber;
        return r;
    }

    // Record to dialog texts: the prefix, then number and bit split out of the device text.
    DeviceResult DeviceToFields(PqDevice device, DeviceFields& fields) const override {
        fields.Reset();
        std::wstring prefix;
        GetDevicePrefix(device, prefix);
        const std::string prefixText = NormalizeDeviceText(prefix, Family::kUpperPrefixFields);
        std::wstring text;
        DeviceResult r = Self().DeviceToLocalString(device, text);
        if (r != DeviceResult::Ok) return r;
        if (family::BreaksFlag4(device, GetEditFlags())) r = DeviceResult::InvalidDeviceNumber;
        fields.prefix = prefixText;
        family::SplitNumberAndBit(NormalizeDeviceText(text, false), prefixText.size(), fields);
        Self().FillNetworkFields(device, fields);
        return r;
    }

    // Defaults for a family without devices of its own (only the internal ones); every family
    // with devices replaces them.
    bool GetNumberRangeTexts(const PqDevice& device, Names& lows, Names& highs) const override {
        lows.clear();
        highs.clear();
        return GetInternalNumberRangeTexts(device, lows, highs);
    }
    DeviceResult CheckDeviceFields(DeviceFields&, PqDevice& device, int count,
                                   PqDevice&) const override {
        return Self().CheckDeviceRange(device, count);
    }
    // The kinds of a category: 1 bit kinds, 2 word kinds, 3 bit kinds offered for word data,
    // 4 word kinds offered for bit data; each followed by the matching internal kinds.
    void GetDeviceKinds(int category, const PqDevice& device, int dataType, int editFlags,
                        Names& names, Codes& codes) const override {
        const bool cross = Self().CrossKindsOffered();
        if (!Self().KindsOffered()) {
            names.clear();
            codes.clear();
        } else if (category == 1 || (category == 3 && cross)) {
            family::AppendKinds(Self().BitKinds(), names, codes);
            AddInternalBitKinds(device, dataType, editFlags, names, codes);
        } else if (category == 2 || (category == 4 && cross)) {
            family::AppendKinds(Self().WordKinds(), names, codes);
            AddInternalWordKinds(device, dataType, editFlags, names, codes);
        } else {
            names.clear();
            codes.clear();
        }
    }

    // ---- Not built yet: the kind list of the device-entry dialog.
    bool GetDeviceKindList(const PqDevice&, int, int, Names& names, Codes& codes) const override {
        names.clear();
        codes.clear();
        return false;
    }

protected:
    FamilyEditor() = default;
    ~FamilyEditor() = default;

    // For families whose dialog prefix must still name the device (a number typed under one
    // prefix may belong to another): the device's own prefix, as the dialog shows it, must equal
    // the prefix field exactly; then the range check decides.
    DeviceResult CheckPrefixThenRange(const DeviceFields& fields, const PqDevice& device,
                                      int count) const {
        std::wstring prefix;
        GetDevicePrefix(device, prefix);
        if (NormalizeDeviceText(prefix, false) != fields.prefix.str())
            return DeviceResult::InvalidDeviceNumber;
        return Self().CheckDeviceRange(device, count);
    }

    const Family& Self() const { return static_cast<const Family&>(*this); }
};

template <class Family>
class FamilyPlc : public CommonPlc, public FamilyEditor<Family> {
public:
    using PqDevice = pqcore::PqDevice;

    int GetPlcCode() const override { return Family::kPlcCode; }
    std::wstring GetPlcId() const override { return std::wstring(Family::kPlcId); }

    PqDevice GetDefaultBitDevice() const override {
        return MakeDefault(Family::kDefaultBitCode, 'b');
    }
    PqDevice GetDefaultWordDevice() const override {
        return MakeDefault(Family::kDefaultWordCode, 'i');
    }

    int SetTerminalType(int type) override {
        if (type >= 8) type = 4;
        SetHostTerminalType(type);
        this->SetEditorTerminalType(type);
        // A new terminal forgets the devices last chosen in this family's dialogs.
        LastUsedBitDevice() = GetDefaultBitDevice();
        LastUsedWordDevice() = GetDefaultWordDevice();
        return 0;
    }

    bool IsAvailableForTerminal(int) const override { return TerminalType() != 1; }
    bool IsAvailableForTerminalEx(int) const override { return TerminalType() != 1; }
    int GetInterfaceLevel() const override { return 3; }

    DeviceResult DeviceToLocalString(const PqDevice& device, std::wstring& text) const override {
        text.clear();
        return AppendLocalString(device, text);
    }

    DeviceResult DeviceToString(const PqDevice& device, std::wstring& text) const override {
        return DeviceToLocalString(device, text);
    }

    DeviceResult NetworkToString(const PqDevice&, std::wstring& text) const override {
        text.clear();
        return DeviceResult::Ok;
    }

    // Typed text to record: normalise, let the family's patterns try, else the internal devices,
    // then the family's own range check decides.
    DeviceResult StringToDevice(const std::wstring& text, int dataType,
                                PqDevice& device) const override {
        const std::int32_t channel = device.mChannel;
        device.Clear();
        family::ParseState state;
        state.text = NormalizeDeviceText(text, true);
        state.dataType = dataType;
        if (state.text.empty()) return DeviceResult::InvalidDeviceName;

        typename Family::Network network;
        if (const auto r = Self().ReadNetworkPrefix(state.text, network); r != DeviceResult::Ok)
            return r;
        const family::ParseOutcome own =
            family::ParseOwnDevice(Self().ParseRules(), state, Self().MaxTypedValue());
        if (own.matched) {
            device.mCode = own.code;
            device.mNumber = state.number;
            if (own.result != DeviceResult::Ok) return own.result;
        } else {
            if (const auto r = StringToInternalDevice(TerminalType(), std::string_view(state.text),
                                                      dataType, device);
                r != DeviceResult::Ok)
                return r;
        }
        if (const auto r = Self().StoreNetwork(network, device); r != DeviceResult::Ok) return r;
        device.mType = dataType;
        device.mChannel = channel;
        return Self().CheckDeviceRange(device, 1);
    }

    // Record to flat address: the family's own mapping for its codes, the internal devices'
    // otherwise; then the channel byte, and the range check decides.
    DeviceResult DeviceToPlcAddress(const PqDevice& device, PlcAddress& address) const override {
        address = PlcAddress{};
        if (Self().IsOwnCode(device.mCode)) {
            Self().OwnToPlcAddress(device, address);
            Self().PutNetwork(device, address);
        } else {
            const DeviceResult r = InternalDeviceToPlcAddress(TerminalType(), device, address);
            if (Family::kInternalChannel == family::InternalChannel::Dropped ||
                (Family::kInternalChannel == family::InternalChannel::OnSuccess &&
                 r != DeviceResult::Ok))
                return r;
        }
        address.channel = static_cast<std::uint8_t>(device.mChannel);
        return Self().CheckDeviceRange(device, 1);
    }

    // Flat address to record: the family's own flat codes, else the internal devices'; then
    // the address must fit 16 bits, and the range check decides.
    DeviceResult PlcAddressToDevice(const PlcAddress& address, PqDevice& device) const override {
        device.Clear();
        if (RefusedOnCompactTerminal(address)) return DeviceResult::InvalidDeviceType;
        if (!Self().OwnFromPlcAddress(address, device)) {
            if (const auto r = PlcAddressToInternalDevice(TerminalType(), address, device);
                r != DeviceResult::Ok)
                return r;
        }
        if (device.mCode == 0) return DeviceResult::Ok;
        if (address.address < 0 || address.address > 65535) return DeviceResult::NumberOutOfRange;
        Self().TakeNetwork(address, device);
        device.mChannel = address.channel;
        return Self().CheckDeviceRange(device, 1);
    }

    bool IsPlcBitAddress(const PlcAddress& address) const override {
        if (TerminalType() == 1) return false;
        return (Self().IsBitAddressCode(address.code) || address.code == internal_device::kGB) &&
               address.kind == PlcDataKind::Bit;
    }

    bool IsBitDevice(const PqDevice& device) const override {
        if (Self().CheckDeviceRange(device, 1) != DeviceResult::Ok) return false;
        if (Self().IsOwnCode(device.mCode)) return Self().IsOwnBitKind(device.mCode);
        return GetInternalDeviceKindLetter(device) == 'B';
    }

    bool IsWordDevice(const PqDevice& device) const override {
        if (Self().CheckDeviceRange(device, 1) != DeviceResult::Ok) return false;
        if (Self().IsOwnCode(device.mCode)) return !Self().IsOwnBitKind(device.mCode);
        return GetInternalDeviceKindLetter(device) == 'W';
    }

    int GetDeviceOrder(const PqDevice& device) const override {
        return family::OrderInTables(Self().Tables(TerminalType()), device.mCode);
    }

    const char* const* GetDeviceNameTable(int& count, int which) const override {
        const family::DeviceTables tables = Self().Tables(TerminalType());
        if ((which != 0 && which != 1) || tables.names.empty()) {
            count = 0;
            return nullptr;
        }
        count = static_cast<int>(tables.names.size());
        return tables.names.data();
    }

    const int* GetDeviceCodeTable(int& count) const override {
        const family::DeviceTables tables = Self().Tables(TerminalType());
        count = static_cast<int>(tables.codes.size());
        return tables.codes.empty() ? nullptr : tables.codes.data();
    }

    // ---- Not built yet: the device-entry dialog.
    bool EditDevice(int, int, int, PqDevice&, int) override { return false; }

    // Shared by every object of the family for the life of the module.
    static PqDevice& LastUsedBitDevice() {
        static PqDevice device;
        return device;
    }
    static PqDevice& LastUsedWordDevice() {
        static PqDevice device;
        return device;
    }

    // Defaults for a family without devices of its own; every family with devices replaces them.
    static bool IsOwnCode(int) { return false; }
    static void OwnToPlcAddress(const PqDevice&, PlcAddress&) {}
    static bool OwnFromPlcAddress(const PlcAddress&, PqDevice&) { return false; }
    static constexpr family::InternalChannel kInternalChannel = family::InternalChannel::OnSuccess;
    static bool IsOwnBitKind(int) { return false; }
    static std::wstring FormatOwn(const PqDevice&) { return {}; }
    static family::DeviceTables Tables(int) { return {}; }
    static bool IsBitAddressCode(int) { return false; }
    static std::span<const family::ParseRule> ParseRules() { return {}; }
    static std::optional<std::int32_t> MaxTypedValue() { return std::nullopt; }
    static const wchar_t* PrefixOf(const PqDevice&) { return nullptr; }
    static int NumberBaseOf(const PqDevice&) { return 10; }
    static std::span<const family::PrefixCode> PrefixOrder() { return {}; }
    static bool BitOfWordOffered() { return true; }
    static std::span<const family::Kind> BitKinds() { return {}; }
    static std::span<const family::Kind> WordKinds() { return {}; }
    bool KindsOffered() const { return this->EditorTerminalType() != 1; }
    bool CrossKindsOffered() const { return true; }
    DeviceResult CheckDeviceRange(const PqDevice& device, int count) const override {
        return CheckInternalDeviceRange(TerminalType(), device, count);
    }
    // Families without a network part.
    struct Network {};
    static DeviceResult ReadNetworkPrefix(std::string&, Network&) { return DeviceResult::Ok; }
    static DeviceResult StoreNetwork(const Network&, PqDevice&) { return DeviceResult::Ok; }
    static void PutNetwork(const PqDevice&, PlcAddress&) {}
    static void TakeNetwork(const PlcAddress&, PqDevice&) {}
    static DeviceResult CheckNetworkFields(const DeviceFields&) { return DeviceResult::Ok; }
    static std::string NetworkPrefixText(const DeviceFields&) { return {}; }
    static void FillNetworkFields(const PqDevice&, DeviceFields&) {}

    // Most families show their dialog prefixes upper-cased.
    static constexpr bool kUpperPrefixFields = true;
    static constexpr std::int32_t kInitialNumber = 0;
    static constexpr int kDefaultBitCode = 157;
    static constexpr int kDefaultWordCode = 168;

protected:
    // Appends the device's local text to `text` (which keeps its storage from call to call, so
    // printing allocates nothing once it has grown); on failure `text` becomes "??".
    DeviceResult AppendLocalString(const PqDevice& device, std::wstring& text) const {
        if (const auto r = Self().CheckDeviceRange(device, 1); r != DeviceResult::Ok) {
            text = L"??";
            return r;
        }
        if (!Self().IsOwnCode(device.mCode))
            return AppendInternalDeviceText(TerminalType(), device, text);
        Self().FormatOwn(device, text);
        return DeviceResult::Ok;
    }

    FamilyPlc() = default;

    // The compact terminal takes no flat address of the kinds 9, 10 and 11.
    bool RefusedOnCompactTerminal(const PlcAddress& address) const {
        const auto kind = static_cast<int>(address.kind);
        return TerminalType() == 1 && (kind == 9 || kind == 10 || kind == 11);
    }

    const Family& Self() const { return static_cast<const Family&>(*this); }

private:
    static PqDevice MakeDefault(int code, int type) {
        PqDevice device;
        device.mCode = code;
        device.mType = type;
        return device;
    }
};
