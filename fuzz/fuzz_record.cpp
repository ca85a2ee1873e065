// The record's text forms: any bytes either parse or throw util::invalid_format_argument.
#include "FuzzSupport.h"
#include "util/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    pqcore::PqDevice device;
    try {
        const int consumed = device.FromString(text);
        fuzz::Require(consumed >= 0 && static_cast<std::size_t>(consumed) <= size,
                      "consumed count outside the input");
    } catch (const util::invalid_format_argument& e) {
        fuzz::Require(e.position >= 0 && static_cast<std::size_t>(e.position) <= size,
                      "error position outside the input");
        return 0;
    }
    // Whatever was read writes a keyed form that reads back to the same record.
    std::string keyed;
    try {
        device.ToKeyedString(keyed);
    } catch (const util::invalid_format_argument&) {
        return 0;  // a name that is no valid text cannot be written
    }
    pqcore::PqDevice back;
    try {
        back.FromString(keyed);
    } catch (const util::invalid_format_argument&) {
        return 0;  // negative fields have no plain form that reads back
    }
    fuzz::Require(back == device && back.mLabelId == device.mLabelId,
                  "a keyed form must read back to the same record");
    return 0;
}
