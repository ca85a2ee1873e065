// The device-address record: defaults, clearing, comparisons and the text-free queries.
#include "pqcore/PqDevice.h"

#include <tuple>

namespace pqcore {

PqAtomADP::~PqAtomADP() = default;

PqDevice::~PqDevice() = default;

void PqDevice::Clear() {
    // mLabelId survives: it belongs to the label, not to the device part.
    mName.clear();
    mAuxText.clear();
    mType = 'b';
    mCode = 0;
    mNumber = 0;
    mChannel = 0;
    mSegment = DeviceSegment{};
}

bool PqDevice::IsEmpty() const {
    return mName.empty() && mAuxText.empty() && IsNullDevice();
}

bool PqDevice::IsNullDevice() const {
    return mCode == 0 && mNumber == 0 && mType == 'b' && mSegment.IsNull() && mChannel == 0;
}

int PqDevice::GetTypeBits() const {
    switch (mType) {
        case 'D':
        case 'F':
        case 'I':
        case 'U':
            return 32;
        case 'b':
            return 1;
        default:
            return 16;
    }
}

std::wstring PqDevice::GetLabelGroup() const {
    const auto colon = mName.find(L':');
    return colon == std::wstring::npos ? std::wstring() : mName.substr(0, colon);
}

std::wstring PqDevice::GetDisplayName() const {
    constexpr std::int32_t kUnresolvedLabelCode = 0x3F00;
    return mCode == kUnresolvedLabelCode ? L"??" + mName : mName;
}

bool operator==(const PqDevice& a, const PqDevice& b) {
    return a.mName == b.mName && a.mAuxText == b.mAuxText && a.mChannel == b.mChannel &&
           a.mSegment == b.mSegment && a.mCode == b.mCode && a.mNumber == b.mNumber &&
           a.mType == b.mType;
}

bool operator<(const PqDevice& a, const PqDevice& b) {
    if (a.mName != b.mName) return a.mName < b.mName;
    if (a.mAuxText != b.mAuxText) return a.mAuxText < b.mAuxText;
    if (a.mChannel != b.mChannel) return a.mChannel < b.mChannel;
    if (!(a.mSegment == b.mSegment)) return a.mSegment < b.mSegment;
    return std::tie(a.mCode, a.mNumber, a.mType) < std::tie(b.mCode, b.mNumber, b.mType);
}

}  // namespace pqcore
