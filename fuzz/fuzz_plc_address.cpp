// Flat addresses straight from raw 20-byte host records.
#include <cstring>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    fuzz::Plc plc = fuzz::MakePlc(in);
    const std::string raw = in.Rest();
    PlcAddress address;
    std::memcpy(&address, raw.data(), std::min(raw.size(), sizeof address));

    pqcore::PqDevice device;
    const DeviceResult r = plc->PlcAddressToDevice(address, device);
    fuzz::Require(fuzz::IsResult(r), "PlcAddressToDevice result out of range");
    if (r == DeviceResult::Ok && device.mCode != 0)
        fuzz::Require(plc->CheckDeviceRange(device, 1) == DeviceResult::Ok,
                      "an accepted address must give a device in range");
    fuzz::CheckFormatters(*plc, device);

    PlcAddress back;
    fuzz::Require(fuzz::IsResult(plc->DeviceToPlcAddress(device, back)),
                  "DeviceToPlcAddress result out of range");
    (void)plc->IsPlcBitAddress(address);
    (void)plc->IsBitOffsetAddress(address);
    return 0;
}
