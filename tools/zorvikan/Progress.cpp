#include "Progress.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

Progress::Progress(bool allowed, std::uint64_t totalBytes)
    : mEnabled(allowed && isatty(STDERR_FILENO) == 1), mTotal(totalBytes) {
    if (mTotal != 0 && mTotal < kLargeInput) mEnabled = false;
}

void Progress::Update(std::uint64_t bytes, std::uint64_t rows) {
    if (!mEnabled || (rows & 0xFF) != 0) return;
    if (mTotal == 0 && rows < kLargeRows) return;
    const auto now = std::chrono::steady_clock::now();
    if (mShown && now - mLast < std::chrono::milliseconds(100)) return;
    mLast = now;
    Draw(bytes, rows);
}

void Progress::Draw(std::uint64_t bytes, std::uint64_t rows) {
    // Rows reported on stdout must reach the terminal before the line is drawn under them.
    std::cout.flush();
    char line[96];
    if (mTotal != 0) {
        const std::uint64_t done = bytes >= mTotal ? mTotal : bytes;
        const int percent = static_cast<int>(done * 100 / mTotal);
        const int filled = static_cast<int>(done * 30 / mTotal);
        std::snprintf(line, sizeof line, "\r[%-30.*s] %3d%%  %llu rows", filled,
                      "##############################", percent,
                      static_cast<unsigned long long>(rows));
    } else {
        std::snprintf(line, sizeof line, "\r%llu rows", static_cast<unsigned long long>(rows));
    }
    std::cerr << line << std::flush;
    mShown = true;
}

void Progress::Hide() {
    if (!mShown) return;
    std::cerr << "\r\033[K" << std::flush;
    mShown = false;
}

void Progress::Finish(std::uint64_t bytes, std::uint64_t rows) {
    if (!mEnabled || (mTotal == 0 && rows < kLargeRows)) return;
    Draw(bytes, rows);
    Hide();
}
