#include "tools/support/InMemoryLabelMap.h"

namespace zorvikan {

bool InMemoryLabelMap::ResolveLabel(const std::wstring& key, pqcore::PqDevice* device) {
    const auto label = mLabels.find(key);
    if (device == nullptr || label == mLabels.end()) return false;
    *device = label->second;
    return true;
}

bool InMemoryLabelMap::UpdateLabel(pqcore::PqDevice* device) {
    if (device == nullptr || device->mName.empty()) return false;
    const auto [entry, isNew] = mNumbers.try_emplace(device->mName, mLastNumber + 1);
    if (isNew) ++mLastNumber;
    device->mLabelId = entry->second;
    mLabels.insert_or_assign(device->LabelKey(), *device);
    return isNew;
}

std::optional<std::uint32_t> InMemoryLabelMap::NumberOf(const std::wstring& name) const {
    const auto entry = mNumbers.find(name);
    if (entry == mNumbers.end()) return std::nullopt;
    return entry->second;
}

}  // namespace zorvikan
