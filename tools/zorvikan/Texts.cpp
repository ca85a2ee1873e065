#include "Texts.h"

#include <array>
#include <string_view>

#include "dialogs/resource.h"

namespace {

constexpr std::array<const char*, 10> kResultNames = {"Ok",
                                                      "UnknownDeviceCode",
                                                      "NumberOutOfRange",
                                                      "NumberCrossRange",
                                                      "SegmentOutOfRange",
                                                      "InvalidDeviceName",
                                                      "InvalidDeviceFormat",
                                                      "InvalidDeviceNumber",
                                                      "InvalidDeviceType",
                                                      "NotAvailable"};

struct KindName {
    int kind;
    const char* name;
};
constexpr KindName kKindNames[] = {{1, "Bit"},    {2, "WordBit"}, {4, "Int16"}, {5, "UInt16"},
                                   {6, "Int32"},  {7, "UInt32"},  {8, "Real"},  {10, "BitOffset"},
                                   {12, "Bcd16"}, {13, "Bcd32"}};

}  // namespace

std::string ResultName(DeviceResult result) {
    const auto value = static_cast<int>(result);
    if (value >= 0 && value < static_cast<int>(kResultNames.size())) return kResultNames[value];
    return "Result" + std::to_string(value);
}

const char* DataKindName(int kind) {
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return k.name;
    return nullptr;
}

std::optional<int> DataKindFromName(const std::string& name) {
    for (const KindName& k : kKindNames)
        if (name == k.name) return k.kind;
    return std::nullopt;
}

const std::string& ModuleTexts::Load(unsigned id) const {
    if (const auto found = mLoaded.find(id); found != mLoaded.end()) return found->second;
    CString text;
    if (!text.LoadString(mInstance, id))
        throw ModuleError(mPath + ": the module's string table has no text " + std::to_string(id));
    return mLoaded.emplace(id, std::string(text.GetString())).first->second;
}

std::string ModuleTexts::ResultMessage(DeviceResult result) const {
    // The dialog's messages for the number field and for OK.
    switch (result) {
        case DeviceResult::Ok:
            return {};
        case DeviceResult::UnknownDeviceCode:
            return Load(IDS_UNKNOWN_DEVICE_CODE);
        case DeviceResult::NumberOutOfRange:
            return Load(IDS_NUMBER_OUT_OF_RANGE);
        case DeviceResult::NumberCrossRange:
            return Load(IDS_NUMBER_CROSS_RANGE);
        case DeviceResult::SegmentOutOfRange:
            return Load(IDS_SEGMENT_OUT_OF_RANGE);
        case DeviceResult::InvalidDeviceName:
            return Load(IDS_INVALID_DEVICE_NAME);
        case DeviceResult::InvalidDeviceFormat:
            return Load(IDS_INVALID_DEVICE_FORMAT);
        case DeviceResult::InvalidDeviceNumber:
            return Load(IDS_INVALID_DEVICE_NUMBER);
        case DeviceResult::InvalidDeviceType:
            return Load(IDS_INVALID_DEVICE_TYPE);
        default:
            return Load(IDS_UNEXPECTED_ERROR);
    }
}

std::string ModuleTexts::DisplayName(const std::wstring& plcId) const {
    static constexpr struct {
        std::wstring_view id;
        unsigned text;
    } kNames[] = {{L"ZORVIKAN-GL", IDS_PLC_NAME_GL},
                  {L"ZORVIKAN-SH", IDS_PLC_NAME_SH},
                  {L"ZORVIKAN-H", IDS_PLC_NAME_H},
                  {L"ZORVIKAN-MS", IDS_PLC_NAME_MS},
                  {L"ZORVIKAN-MP", IDS_PLC_NAME_MP}};
    for (const auto& name : kNames)
        if (plcId == name.id) return Load(name.text);
    return {};
}

std::string ModuleTexts::DataTypeText(int dataType) const {
    switch (dataType) {
        case 'b':
            return Load(IDS_SPEC_BIT);
        case 'i':
            return Load(IDS_SPEC_S16);
        case 'u':
            return Load(IDS_SPEC_U16);
        case 'd':
            return Load(IDS_SPEC_D16);
        case 'I':
            return Load(IDS_SPEC_S32);
        case 'U':
            return Load(IDS_SPEC_U32);
        case 'D':
            return Load(IDS_SPEC_D32);
        case 'F':
            return Load(IDS_SPEC_REAL);
        default:
            return {};
    }
}

std::string ModuleTexts::KindWord(const CString& kind) const {
    return Load(kind == "BIT" ? IDS_KIND_BIT : IDS_KIND_WORD);
}

const std::string& ModuleTexts::RangeSeparator() const {
    return Load(IDS_RANGE_SEPARATOR);
}
