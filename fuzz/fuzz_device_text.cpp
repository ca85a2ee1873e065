// Typed and plain device texts of every family, terminal type and data type.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    fuzz::Plc plc = fuzz::MakePlc(in);
    const int type = fuzz::DataType(in);
    const std::uint8_t flags = in.Byte();
    const std::wstring text = in.RestUnits((flags & 2) != 0);

    pqcore::PqDevice device;
    const DeviceResult parsed = plc->StringToDevice(text, type, device);
    fuzz::Require(fuzz::IsResult(parsed), "StringToDevice result out of range");
    if (parsed == DeviceResult::Ok) {
        fuzz::Require(plc->CheckDeviceRange(device, 1) == DeviceResult::Ok,
                      "a parsed device must pass the range check");
        std::wstring local;
        fuzz::Require(plc->DeviceToLocalString(device, local) == DeviceResult::Ok,
                      "a parsed device must print");
    }
    fuzz::CheckFormatters(*plc, device);

    std::wstring tag = L"untouched";
    const DeviceResult typed = plc->TypedStringToDevice(text, device, tag, (flags & 1) != 0);
    fuzz::Require(fuzz::IsResult(typed), "TypedStringToDevice result out of range");
    fuzz::CheckFormatters(*plc, device);
    return 0;
}
