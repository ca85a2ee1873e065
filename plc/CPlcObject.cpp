#include "plc/CPlcObject.h"

#include "plc/InternalDevices.h"

using namespace internal_device;

namespace {

pqcore::PqDevice MakeDevice(int code, int type) {
    pqcore::PqDevice device;
    device.mCode = code;
    device.mType = type;
    return device;
}

bool IsWide(int type) {
    return type == 'I' || type == 'U' || type == 'D' || type == 'F';
}

// Highest start texts of the internal devices per terminal type: the last start at which one
// value of the type still fits into the range.
struct RangeRow {
    const wchar_t* gdNarrow;
    const wchar_t* gdWide;
    const wchar_t* gbBits;
    const wchar_t* gbNarrow;
    const wchar_t* gbWide;
    const wchar_t* gsNarrow;
    const wchar_t* gsWide;
};

RangeRow RangeRowFor(int terminalType) {
    switch (terminalType) {
        case 1:
            return {L"1023", L"1022", L"1023", L"1008", L"992", L"511", L"510"};
        case 3:
        case 4:
            return {L"65535", L"65534", L"65535", L"65520", L"65504", L"1023", L"1022"};
        case 5:
        case 7:
            return {L"65535", L"65534", L"65535", L"65520", L"65504", L"2047", L"2046"};
        case 6:
            return {L"127", L"126", L"255", L"240", L"224", L"1023", L"1022"};
        default:
            return {L"16383", L"16382", L"16383", L"16368", L"16352", L"511", L"510"};
    }
}

}  // namespace

int CPlcObject::SetEditFlags(int flags) {
    mEditFlags = flags;
    return flags;
}

int CPlcObject::GetEditFlags() const {
    return mEditFlags;
}

bool CPlcObject::IsInternalDevice(const PqDevice& device) const {
    switch (device.mCode) {
        case 0:
        case kGD:
        case kGB:
            return true;
        case kGS:
            return EditorTerminalType() != 1;
        default:
            return false;
    }
}

bool CPlcObject::GetInternalNumberBase(const PqDevice& device, int& base) const {
    if (device.mCode != kGD && device.mCode != kGB && device.mCode != kGS) return false;
    base = 10;
    return true;
}

bool CPlcObject::GetInternalDevicePrefix(const PqDevice& device, std::wstring& prefix) const {
    switch (device.mCode) {
        case kGD:
            prefix = L"GD";
            return true;
        case kGB:
            prefix = L"GB";
            return true;
        case kGS:
            prefix = L"GS";
            return true;
        default:
            prefix = L"??";
            return false;
    }
}

bool CPlcObject::AddInternalWordKinds(const PqDevice&, int dataType, int, Names& names,
                                      Codes& codes) const {
    if (!(EditorTerminalType() == 6 && dataType == 'b')) {
        names.emplace_back(L"GD");
        codes.push_back(kGD);
    }
    if (EditorTerminalType() != 1) {
        names.emplace_back(L"GS");
        codes.push_back(kGS);
    }
    return true;
}

bool CPlcObject::AddInternalBitKinds(const PqDevice&, int, int, Names& names, Codes& codes) const {
    names.emplace_back(L"GB");
    codes.push_back(kGB);
    return true;
}

bool CPlcObject::GetInternalNumberRangeTexts(const PqDevice& device, Names& lows,
                                             Names& highs) const {
    const RangeRow row = RangeRowFor(EditorTerminalType());
    const bool wide = IsWide(device.mType);
    const wchar_t* high = nullptr;
    switch (device.mCode) {
        case kGD:
            high = wide ? row.gdWide : row.gdNarrow;
            break;
        case kGS:
            high = wide ? row.gsWide : row.gsNarrow;
            break;
        case kGB:
            if (device.mType == 'b' && (GetEditFlags() & 4) == 0)
                high = row.gbBits;
            else
                high = wide ? row.gbWide : row.gbNarrow;
            break;
        default:
            lows.emplace_back();
            highs.emplace_back();
            return false;
    }
    lows.emplace_back(L"0");
    highs.emplace_back(high);
    return true;
}

bool CPlcObject::CanUseInternalBitOfWord(const PqDevice& device, int dataType) const {
    return dataType == 'b' && (device.mCode == kGD || device.mCode == kGS);
}

bool CPlcObject::GetInternalDeviceKindText(const PqDevice& device, CString& kind) const {
    switch (device.mCode) {
        case kGB:
            kind = "BIT";
            return true;
        case kGD:
        case kGS:
            kind = "WORD";
            return true;
        default:
            kind.Empty();
            return false;
    }
}

bool CPlcObject::GetInternalInitialNumber(const PqDevice& device, std::int32_t& number) const {
    if (device.mCode != kGD && device.mCode != kGB && device.mCode != kGS) return false;
    number = 0;
    return true;
}

bool CPlcObject::SetInternalDeviceByPrefix(std::wstring prefix, int dataType,
                                           PqDevice& device) const {
    device.Clear();
    device.mType = dataType;
    int code = 0;
    if (prefix == L"GB")
        code = kGB;
    else if (prefix == L"GD")
        code = kGD;
    else if (prefix == L"GS")
        code = kGS;
    else
        return false;
    device.mCode = code;
    device.mNumber = 0;
    return true;
}

pqcore::PqDevice CPlcObject::GetDefaultInternalBitDevice() const {
    return MakeDevice(kGB, 'b');
}

pqcore::PqDevice CPlcObject::GetDefaultInternalWordDevice() const {
    return MakeDevice(kGD, 'i');
}

pqcore::PqDevice CPlcObject::GetFirstInternalBitDevice() const {
    return MakeDevice(kGB, 'b');
}

pqcore::PqDevice CPlcObject::GetFirstInternalWordDevice() const {
    return MakeDevice(kGD, 'i');
}
