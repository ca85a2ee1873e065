#include "plc/CommonPlc.h"

#include <cstdint>
#include <string_view>

#include "plc/DeviceText.h"
#include "plc/InternalDevices.h"

int CommonPlc::GetPlcGroupCode() const {
    return GetPlcCode();
}

int CommonPlc::SetCompactTerminal(bool compact) {
    return SetTerminalType(compact ? 1 : 2);
}

bool CommonPlc::IsNetworkAvailable() const {
    return false;
}

bool CommonPlc::IsNetworkAvailableEx() const {
    return false;
}

bool CommonPlc::IsOptionAvailable() const {
    return false;
}

bool CommonPlc::IsBitOffsetAddress(const PlcAddress& address) const {
    return TerminalType() != 1 && address.kind == PlcDataKind::BitOffset;
}

bool CommonPlc::IsInternalDeviceValid(const PqDevice& device) const {
    return CheckInternalDeviceRange(TerminalType(), device, 1) == DeviceResult::Ok;
}

DeviceResult CommonPlc::GetDataTypeTag(const PqDevice& device, std::wstring& tag,
                                       bool detailed) const {
    tag.clear();
    if (device.mType == 'b') {
        tag = L"b";
        return DeviceResult::Ok;
    }
    if (!detailed) {
        tag = L"w";
        return DeviceResult::Ok;
    }
    switch (device.mType) {
        case 'i':
            tag = L"s16";
            break;
        case 'u':
            tag = L"u16";
            break;
        case 'd':
            tag = L"d16";
            break;
        case 'I':
            tag = L"s32";
            break;
        case 'U':
            tag = L"u32";
            break;
        case 'D':
            tag = L"d32";
            break;
        case 'F':
            tag = L"flt";
            break;
        default:
            tag = L"??";
            return DeviceResult::InvalidDeviceType;
    }
    return DeviceResult::Ok;
}

DeviceResult CommonPlc::DeviceToTypedString(const PqDevice& device, std::wstring& text,
                                            bool detailedType) const {
    text.clear();
    auto fail = [&text](DeviceResult r) {
        text = L"??";
        return r;
    };
    if (TerminalType() == 1) return fail(DeviceResult::NotAvailable);

    std::wstring network;
    if (!device.mSegment.IsNull()) {
        if (const auto r = NetworkToString(device, network); r != DeviceResult::Ok) return fail(r);
    }
    // The tag comes before the code is looked at, so an unknown type fails even for no device.
    std::wstring tag;
    if (const auto r = GetDataTypeTag(device, tag, detailedType); r != DeviceResult::Ok)
        return fail(r);
    if (device.mCode == 0) return DeviceResult::Ok;

    std::wstring local;
    if (const auto r = DeviceToLocalString(device, local); r != DeviceResult::Ok) return fail(r);
    text = network.empty() ? tag + L":" + local : network + L":" + tag + L":" + local;
    return DeviceResult::Ok;
}

DeviceResult CommonPlc::TypedStringToDevice(const std::wstring& text, PqDevice& device,
                                            std::wstring& typeTag, bool detailedType) const {
    const std::wstring_view all(text);
    const auto colon = all.find(L':');
    if (colon == std::wstring_view::npos) return DeviceResult::InvalidDeviceFormat;

    const std::wstring_view first = all.substr(0, colon);
    std::wstring deviceText;
    if (first.find(L'-') == std::wstring_view::npos) {
        // The device text first: `typeTag` may be the caller's `text` itself.
        deviceText.assign(all.substr(colon + 1));
        typeTag.assign(first);
    } else {
        // "network:tag:device": the network text goes back in front of the device text.
        const auto second = all.find(L':', colon + 1);
        if (second == std::wstring_view::npos) return DeviceResult::InvalidDeviceFormat;
        const std::wstring_view rest = all.substr(second + 1);
        deviceText.reserve(first.size() + 1 + rest.size());
        deviceText.append(first).append(1, L' ').append(rest);
        typeTag.assign(all.substr(colon + 1, second - colon - 1));
    }

    const std::string tag = NormalizeDeviceText(typeTag, false);
    const auto type = ParseDataTypeTag(tag, detailedType);
    if (!type) return DeviceResult::InvalidDeviceType;

    DeviceResult result = StringToDevice(deviceText, *type, device);
    // A plain word tag may name a device that only exists as a 32-bit access.
    if (result != DeviceResult::Ok && (!detailedType || tag == "w"))
        result = StringToDevice(deviceText, 'I', device);
    return result;
}

int CommonPlc::CompareDevices(const PqDevice& a, const PqDevice& b, bool ignoreSegment) const {
    PqDevice left = a;
    PqDevice right = b;
    if (ignoreSegment) {
        left.mSegment = {};
        right.mSegment = {};
    } else if (!(left.mSegment == right.mSegment)) {
        return left.mSegment < right.mSegment ? -1 : 1;
    }

    // Unsigned, so an unknown kind (-1) sorts after every known one.
    const auto orderLeft = static_cast<std::uint32_t>(GetDeviceOrder(left));
    const auto orderRight = static_cast<std::uint32_t>(GetDeviceOrder(right));
    if (orderLeft != orderRight) return orderLeft < orderRight ? -1 : 1;

    PlcAddress addressLeft;
    PlcAddress addressRight;
    DeviceToPlcAddress(left, addressLeft);
    DeviceToPlcAddress(right, addressRight);
    if (addressLeft == addressRight) return 0;
    return addressLeft < addressRight ? -1 : 1;
}
