// The scanner against the C library's sscanf on the families' patterns and a few other shapes.
#include <cstdlib>

#include "FuzzSupport.h"
#include "support/ScanOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace scan_oracle;
    fuzz::Input in(data, size);
    const std::size_t families = std::size(kFamilyPatterns);
    const std::size_t pick = in.Byte() % (families + std::size(kExtraPatterns));
    const PatternCase& c =
        pick < families ? kFamilyPatterns[pick] : kExtraPatterns[pick - families];
    const std::string input = in.Rest();  // data() is followed by a NUL, as sscanf needs
    if (const auto mismatch = c.check(input, size)) {
        std::fprintf(stderr, "%s\n", mismatch->c_str());
        std::abort();
    }
    return 0;
}
