// What every family does the same way, written once. A family class derives from
// FamilyPlc<itself>; the object layout stays that of the plug-in contract: CommonPlc (with the
// host interface) first, CPlcObject second, no data members added.
//
// Operation order: on the Itanium C++ ABI, a function declared in a class of the primary chain
// that overrides an operation of the second base gets a slot of its own in the primary table.
// So the host-side helper FamilyPlc overrides host operations only, and the editor-side shared
// operations live in FamilyEditor, on the CPlcObject side. A family that adds operations behind
// the host's (the network family) declares them before any editor operation of its own.
#pragma once

#include <string>
#include <string_view>

#include "plc/CPlcObject.h"
#include "plc/CommonPlc.h"

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

    // ---- Not built yet: the family's dialog services. Until then they refuse plainly.
    DeviceResult FieldsToDevice(PqDevice&, DeviceFields&) const override {
        return DeviceResult::UnknownDeviceCode;
    }
    DeviceResult DeviceToFields(PqDevice, DeviceFields& fields) const override {
        fields.Reset();
        return DeviceResult::UnknownDeviceCode;
    }
    bool GetNumberBase(const PqDevice&, int&) const override { return false; }
    bool GetDevicePrefix(const PqDevice&, std::wstring& prefix) const override {
        prefix = L"??";
        return false;
    }
    bool GetDeviceKindList(const PqDevice&, int, int, Names& names, Codes& codes) const override {
        names.clear();
        codes.clear();
        return false;
    }
    bool GetNumberRangeTexts(const PqDevice&, Names& lows, Names& highs) const override {
        lows.clear();
        highs.clear();
        return false;
    }
    bool CanUseBitOfWord(const PqDevice&, int) const override { return false; }
    bool GetDeviceKindText(const PqDevice&, CString& kind) const override {
        kind.Empty();
        return false;
    }
    DeviceResult CheckDeviceFields(DeviceFields&, PqDevice&, int, PqDevice&) const override {
        return DeviceResult::UnknownDeviceCode;
    }
    bool GetInitialNumber(const PqDevice&, std::int32_t&) const override { return false; }
    bool SetDeviceByPrefix(std::wstring, int, PqDevice&) const override { return false; }
    void GetDeviceKinds(int, const PqDevice&, int, int, Names& names,
                        Codes& codes) const override {
        names.clear();
        codes.clear();
    }

protected:
    FamilyEditor() = default;
    ~FamilyEditor() = default;
};

template <class Family>
class FamilyPlc : public CommonPlc, public FamilyEditor<Family> {
public:
    using PqDevice = pqcore::PqDevice;

    int GetPlcCode() const override { return Family::kPlcCode; }
    std::wstring GetPlcId() const override { return std::wstring(Family::kPlcId); }

    // Every family's defaults: MB/OB-style bit 157 and IW-style word 168.
    PqDevice GetDefaultBitDevice() const override { return MakeDefault(157, 'b'); }
    PqDevice GetDefaultWordDevice() const override { return MakeDefault(168, 'i'); }

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

    // Shared by every object of the family for the life of the module.
    static PqDevice& LastUsedBitDevice() {
        static PqDevice device;
        return device;
    }
    static PqDevice& LastUsedWordDevice() {
        static PqDevice device;
        return device;
    }

    // ---- Not built yet: device syntax, ranges, flat addresses and tables of the family. Until
    // then they refuse plainly: "??" texts, UnknownDeviceCode, false, empty.
    DeviceResult DeviceToString(const PqDevice&, std::wstring& text) const override {
        return NotYet(text);
    }
    DeviceResult DeviceToLocalString(const PqDevice&, std::wstring& text) const override {
        return NotYet(text);
    }
    DeviceResult NetworkToString(const PqDevice&, std::wstring& text) const override {
        text.clear();
        return DeviceResult::UnknownDeviceCode;
    }
    DeviceResult StringToDevice(const std::wstring&, int, PqDevice&) const override {
        return DeviceResult::UnknownDeviceCode;
    }
    DeviceResult CheckDeviceRange(const PqDevice&, int) const override {
        return DeviceResult::UnknownDeviceCode;
    }
    DeviceResult DeviceToPlcAddress(const PqDevice&, PlcAddress& address) const override {
        address = PlcAddress{};
        return DeviceResult::UnknownDeviceCode;
    }
    DeviceResult PlcAddressToDevice(const PlcAddress&, PqDevice& device) const override {
        device.Clear();
        return DeviceResult::UnknownDeviceCode;
    }
    bool IsPlcBitAddress(const PlcAddress&) const override { return false; }
    bool IsBitDevice(const PqDevice&) const override { return false; }
    bool IsWordDevice(const PqDevice&) const override { return false; }
    int GetDeviceOrder(const PqDevice&) const override { return -1; }
    const char* const* GetDeviceNameTable(int& count, int) const override {
        count = 0;
        return nullptr;
    }
    const int* GetDeviceCodeTable(int& count) const override {
        count = 0;
        return nullptr;
    }
    bool EditDevice(int, int, int, PqDevice&, int) override { return false; }

protected:
    FamilyPlc() = default;

private:
    static PqDevice MakeDefault(int code, int type) {
        PqDevice device;
        device.mCode = code;
        device.mType = type;
        return device;
    }
    static DeviceResult NotYet(std::wstring& text) {
        text = L"??";
        return DeviceResult::UnknownDeviceCode;
    }
};
