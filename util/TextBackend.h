// The seam between the module and the implementation of its two text primitives: util::Scan
// (and ScanSlots) and util::Format/FormatA. Both run on one of two backends:
//
//   TextBackend::Ours      our scanner and our formatter (the default);
//   TextBackend::CLibrary  the literal C-library approach: sscanf on the same pattern (widened to
//                          64-bit longs and narrowed back, so the results are the 32-bit ones of
//                          ours), and vswprintf/vsnprintf on the same format.
//
// The families always go through the seam, so a benchmark or a test runs the very same family
// code on either backend by switching it here.
//
// The switch is one variable per binary that links the toolkit, read with a single predictable
// branch per call (the module's own copy is hidden, so no host can reach it; benchmarks and tests
// link the module's code and so share theirs with it). It is deliberately unsynchronised: the
// module runs on its host's one UI thread, and only benchmarks and tests switch it, between
// operations, on one thread. Switching while another thread scans or formats is a data race.
//
// The backends agree on every result with one documented exception: a "%l..." conversion given a
// long outside the 32-bit range prints its low 32 bits with ours and the whole long with the C
// library on an LP64 platform. The module never passes such a value.
#pragma once

#include <cstdint>

namespace util {

enum class TextBackend : std::uint8_t { Ours, CLibrary };

namespace detail {
extern TextBackend gTextBackend;
}  // namespace detail

inline TextBackend CurrentTextBackend() noexcept {
    return detail::gTextBackend;
}
inline void SetTextBackend(TextBackend backend) noexcept {
    detail::gTextBackend = backend;
}

// Selects a backend for its lifetime and restores the previous one, also on exceptions.
class ScopedTextBackend {
public:
    explicit ScopedTextBackend(TextBackend backend) noexcept : mSaved(CurrentTextBackend()) {
        SetTextBackend(backend);
    }
    ~ScopedTextBackend() { SetTextBackend(mSaved); }
    ScopedTextBackend(const ScopedTextBackend&) = delete;
    ScopedTextBackend& operator=(const ScopedTextBackend&) = delete;

private:
    TextBackend mSaved;
};

}  // namespace util
