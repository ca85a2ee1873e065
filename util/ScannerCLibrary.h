// The C-library backend of util::ScanSlots (see util/TextBackend.h): sscanf on the same pattern,
// giving exactly the results of our scanner, 32-bit long included.
#pragma once

#include <string_view>

#include "util/Scanner.h"

namespace util::detail {

// Same contract as ScanSlots; the slots must already match the pattern (ScanSlots checks them
// before it dispatches here).
int ScanSlotsCLibrary(std::string_view input, const ScanPattern& pattern, const ScanSlot* slots,
                      int slotCount);

}  // namespace util::detail
