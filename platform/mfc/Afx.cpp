// The portable runtime behind Afx.h and AfxImage.h. It is one shared library per process, like
// the framework's DLL, so the module and its host see the same resource chain and handles.
#include "mfc/Afx.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "mfc/AfxImage.h"

namespace {

struct RuntimeState {
    std::map<HINSTANCE, const AFX_RESOURCE_IMAGE*> images;
    HINSTANCE resourceHandle = nullptr;
    CDynLinkLibrary* libraries = nullptr;  // most recently linked first
};

// Never destroyed: modules unloaded during process exit still unlink themselves after this
// library's own statics would have gone.
RuntimeState& State() {
    static RuntimeState* const state = new RuntimeState;
    return *state;
}

bool HasString(HINSTANCE image, UINT id) {
    return AfxFindStringResource(image, id) != nullptr;
}

}  // namespace

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule),
      m_hResource(state.hResource),
      m_bSystem(bSystem),
      m_pNextDLL(State().libraries) {
    State().libraries = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
    for (CDynLinkLibrary** link = &State().libraries; *link != nullptr;
         link = &(*link)->m_pNextDLL) {
        if (*link == this) {
            *link = m_pNextDLL;
            break;
        }
    }
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    if (state.bInitialized) return TRUE;
    if (hModule == nullptr) return FALSE;
    state.bInitialized = TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    if (!state.bInitialized) return;
    for (CDynLinkLibrary* library = State().libraries; library != nullptr;) {
        CDynLinkLibrary* const next = library->m_pNextDLL;
        if (bAll || library->m_hModule == state.hModule) delete library;  // unlinks itself
        library = next;
    }
}

HINSTANCE AfxGetResourceHandle() {
    return State().resourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    State().resourceHandle = hInstResource;
}

HINSTANCE AfxFindStringResourceHandle(UINT nID) {
    const RuntimeState& state = State();
    if (state.resourceHandle != nullptr && HasString(state.resourceHandle, nID))
        return state.resourceHandle;
    for (const BOOL system : {FALSE, TRUE}) {
        for (const CDynLinkLibrary* library = state.libraries; library != nullptr;
             library = library->m_pNextDLL) {
            if (library->m_bSystem == system && library->m_hResource != nullptr &&
                HasString(library->m_hResource, nID))
                return library->m_hResource;
        }
    }
    return nullptr;
}

int LoadString(HINSTANCE hInstance, UINT uID, char* lpBuffer, int cchBufferMax) {
    if (lpBuffer == nullptr || cchBufferMax <= 0) return 0;
    const AFX_STRING_RESOURCE* const entry = AfxFindStringResource(hInstance, uID);
    const int length = entry == nullptr ? 0 : std::min(entry->length, cchBufferMax - 1);
    if (length > 0) std::memcpy(lpBuffer, entry->text, static_cast<std::size_t>(length));
    lpBuffer[length] = '\0';
    return length;
}

HINSTANCE AfxImageHandleOf(const void* address) {
    Dl_info info{};
    if (address == nullptr || dladdr(address, &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

BOOL AfxMapImageResources(HINSTANCE image, const AFX_RESOURCE_IMAGE* resources) {
    if (image == nullptr || resources == nullptr) return FALSE;
    State().images.insert_or_assign(image, resources);
    return TRUE;
}

void AfxUnmapImageResources(HINSTANCE image) {
    State().images.erase(image);
}

const AFX_STRING_RESOURCE* AfxFindStringResource(HINSTANCE image, UINT nID) {
    const auto found = State().images.find(image);
    if (found == State().images.end()) return nullptr;
    const AFX_RESOURCE_IMAGE& resources = *found->second;
    const AFX_STRING_RESOURCE* const end = resources.strings + resources.stringCount;
    const AFX_STRING_RESOURCE* const entry =
        std::lower_bound(resources.strings, end, nID,
                         [](const AFX_STRING_RESOURCE& e, UINT id) { return e.id < id; });
    return entry != end && entry->id == nID ? entry : nullptr;
}
