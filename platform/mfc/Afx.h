// The framework's resource mechanics that the module and its host rely on: extension modules,
// the chain of linked resource libraries, the current resource handle and string loading. On
// Windows these are the framework's own (real MFC and USER32); everywhere else the portable
// runtime zvafx stands in for them with the same names and calling shapes, so code written
// against this header builds unchanged on either side.
#pragma once

#if defined(_WIN32)

#include <afxwin.h>

#else

#include <cstdint>

// The runtime's interface stays visible to modules built with hidden visibility.
#define ZV_AFX_API __attribute__((visibility("default")))

// An instance (module) handle: the base address of a loaded image, as on Windows.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LPVOID = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Reasons passed to a module's entry point.
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

// The record an extension module keeps of itself from load to unload.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

// Links an extension module's resources into the resource search. Created with new by the
// module's entry point; AfxTermExtensionModule deletes it.
class ZV_AFX_API CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    virtual ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;  // searched after every non-system library
    CDynLinkLibrary* m_pNextDLL;
};

// Fails only without a module handle.
ZV_AFX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Unlinks and deletes the module's CDynLinkLibrary objects (every one when bAll).
ZV_AFX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// The module whose resources are searched first; null until someone sets it (a host
// executable without resources of its own).
ZV_AFX_API HINSTANCE AfxGetResourceHandle();
ZV_AFX_API void AfxSetResourceHandle(HINSTANCE hInstResource);

// Where string nID is found: the current resource handle, then the linked non-system
// libraries from the most recently linked, then the system ones. Null when nowhere.
ZV_AFX_API HINSTANCE AfxFindStringResourceHandle(UINT nID);

// The string resource uID of one module, copied into lpBuffer (at most cchBufferMax - 1
// characters and a terminating NUL). Returns the number of characters copied, 0 when the
// module has no such string or the buffer has no room.
ZV_AFX_API int LoadString(HINSTANCE hInstance, UINT uID, char* lpBuffer, int cchBufferMax);

#endif
