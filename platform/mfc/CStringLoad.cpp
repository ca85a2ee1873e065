// CString's string-resource loading, through the runtime's handle-based loader.
#include <vector>

#include "mfc/Afx.h"
#include "mfc/CString.h"

bool CString::LoadString(unsigned int nID) {
    HINSTANCE const instance = AfxFindStringResourceHandle(nID);
    return instance != nullptr && LoadString(instance, nID);
}

bool CString::LoadString(HINSTANCE__* hInstance, unsigned int nID) {
    // The loader truncates to the buffer, so grow it until the text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        const int length =
            ::LoadString(hInstance, nID, buffer.data(), static_cast<int>(buffer.size()));
        if (length == 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size() - 1) {
            mText.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}
