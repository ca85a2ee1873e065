// A host's label map kept in memory: labels by name, each with its number and the record it
// stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "pqcore/PqDevice.h"
#include "pqcore/PqLabelMapIF.h"

namespace zorvikan {

// A label is a named record. Printing a labelled record defines (or redefines) its label; reading
// one back resolves the name and number it carries to the label's record. Together they let a
// labelled record survive its labelled text form, which carries only the name and the number.
//
// Numbers start at 1 (0 means "no label number" in the keyed form) and are never reused: a new
// name gets the next number, a known name keeps its number for the life of the map.
class InMemoryLabelMap final : public pqcore::project::PqLabelMapIF {
public:
    InMemoryLabelMap() = default;
    InMemoryLabelMap(const InMemoryLabelMap&) = delete;
    InMemoryLabelMap& operator=(const InMemoryLabelMap&) = delete;
    ~InMemoryLabelMap() = default;

    // `key` is the record's LabelKey(): name and number, so a text whose number does not match
    // the map's (a stale reference or one from another project) stays unresolved. A resolved
    // record becomes a copy of the label's record. Returns whether the key was known.
    bool ResolveLabel(const std::wstring& key, pqcore::PqDevice* device) override;

    // Gives the record its label's number, assigning a new one to a new name, and makes the
    // record the label's definition. Only mLabelId of the record is written, which is what a
    // const record being printed allows. Returns whether a new number was assigned.
    bool UpdateLabel(pqcore::PqDevice* device) override;

    // The label's number, if the name is known.
    std::optional<std::uint32_t> NumberOf(const std::wstring& name) const;
    std::size_t Size() const { return mLabels.size(); }

private:
    std::map<std::wstring, pqcore::PqDevice> mLabels;  // by LabelKey()
    std::map<std::wstring, std::uint32_t> mNumbers;    // by name
    std::uint32_t mLastNumber = 0;
};

}  // namespace zorvikan
