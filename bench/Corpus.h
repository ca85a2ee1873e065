// The fixed, seeded inputs of the benchmarks, per family: a realistic mix of typed device texts
// (valid and invalid, every kind, upper and lower case, with and without network prefix and bit
// suffix), typed texts with data-type tags, and device records. Built from the family itself:
// valid texts are what the family prints for records it accepts, the rest are mutations of them.
// The backend test runs the same corpus, so both backends are proven to do identical work on
// exactly what the benchmarks time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pqcore/PqDevice.h"
#include "pqcore/PqPlcIF.h"

namespace zv_bench {

struct PlcDeleter {
    void operator()(pqcore::PqPlcIF* plc) const;
};
using PlcPtr = std::unique_ptr<pqcore::PqPlcIF, PlcDeleter>;

struct TextItem {
    std::wstring text;
    int dataType = 'i';
    bool detailed = false;  // for typed texts: detailed data-type tags
};

struct FamilyCorpus {
    std::wstring id;              // "ZORVIKAN-MP"
    std::string name;             // "MP"
    int terminal = 4;             // a full terminal; the one whose texts carry MP's network part
    std::vector<TextItem> texts;  // the mix, for StringToDevice
    std::vector<std::string> scanTexts;     // the same texts as the scan patterns see them
    std::vector<TextItem> typed;            // "tag:device" and "network:tag:device" texts
    std::vector<pqcore::PqDevice> valid;    // records the family accepts (they print)
    std::vector<pqcore::PqDevice> devices;  // valid and refused records, for range checks
};

// The five families in the module's order, as short names ("GL", "SH", "H", "MS", "MP").
std::vector<std::string> FamilyNames();

// A family object on the corpus's terminal type.
PlcPtr CreateFamily(const std::string& name, int terminal);

// Deterministic for a given name, size and seed; `size` items in each list.
FamilyCorpus MakeCorpus(const std::string& name, std::size_t size, std::uint64_t seed = 20240611);

}  // namespace zv_bench
