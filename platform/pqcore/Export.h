// Symbol visibility of the host library stand-in (pqcore1). Everything else in the module is
// hidden; only what the host library itself defines is exported from it.
#pragma once

#if defined(_WIN32)
#if defined(PQCORE1_BUILD)
#define PQCORE1_API __declspec(dllexport)
#else
#define PQCORE1_API __declspec(dllimport)
#endif
#else
#define PQCORE1_API __attribute__((visibility("default")))
#endif
