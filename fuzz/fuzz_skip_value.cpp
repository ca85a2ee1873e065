// Skipping items of the host's structured text.
#include <sstream>

#include "FuzzSupport.h"
#include "util/Exceptions.h"
#include "util/StreamTokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        util::SkipValue(in);
        in.clear();
        const auto at = in.tellg();
        fuzz::Require(at >= 0 && static_cast<std::size_t>(at) <= size, "stream position outside");
        // It stops only at the end or at a ';' or '}' that closes the item.
        if (static_cast<std::size_t>(at) < size) {
            fuzz::Require(data[at] == ';' || data[at] == '}', "stopped inside an item");
        }
    } catch (const util::invalid_format_argument& e) {
        fuzz::Require(e.position >= 0 && static_cast<std::size_t>(e.position) <= size,
                      "error position outside the input");
    }
    return 0;
}
