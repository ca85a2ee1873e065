// The loader's share of resource handling, which Windows does when it maps an image: the
// resources compiled into a module become reachable by the module's handle. A portable module
// has no resource section, so it hands its resource image (generated from its resource script)
// to the runtime when it is loaded and takes it back when it is unloaded. Nothing here exists
// on Windows.
#pragma once

#include <cstddef>

#include "mfc/Afx.h"

#if !defined(_WIN32)

struct AFX_STRING_RESOURCE {
    UINT id;
    const char* text;
    int length;  // texts may hold NULs, as resource strings may
};

// One module's resources; the strings are sorted by id, each id once.
struct AFX_RESOURCE_IMAGE {
    const AFX_STRING_RESOURCE* strings;
    std::size_t stringCount;
};

// The handle of the loaded image that contains `address` (GetModuleHandleEx from an address),
// or null when no image does.
ZV_AFX_API HINSTANCE AfxImageHandleOf(const void* address);

// Makes `resources` the resources of `image`, replacing any earlier ones. The image must stay
// valid until AfxUnmapImageResources. Fails on a null image or a null resource image.
ZV_AFX_API BOOL AfxMapImageResources(HINSTANCE image, const AFX_RESOURCE_IMAGE* resources);
ZV_AFX_API void AfxUnmapImageResources(HINSTANCE image);

// The string entry nID of an image, or null.
ZV_AFX_API const AFX_STRING_RESOURCE* AfxFindStringResource(HINSTANCE image, UINT nID);

#endif
