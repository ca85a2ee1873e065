// A one-line progress display on stderr for long checks. It appears only when stderr is a
// terminal and the input is large, so logs and pipes never see it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class Progress {
public:
    static constexpr std::uint64_t kLargeInput = 4u << 20;  // bytes of a file of known size
    static constexpr std::uint64_t kLargeRows = 200000;     // rows of input of unknown size

    // totalBytes 0: the size is not known (a pipe).
    Progress(bool allowed, std::uint64_t totalBytes);
    ~Progress() { Hide(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Cheap enough for every row; redraws at most ten times a second.
    void Update(std::uint64_t bytes, std::uint64_t rows);
    // Erases the line (before other output to the same terminal, and at the end).
    void Hide();
    // Draws the final state, then erases the line.
    void Finish(std::uint64_t bytes, std::uint64_t rows);

private:
    void Draw(std::uint64_t bytes, std::uint64_t rows);

    bool mEnabled;
    std::uint64_t mTotal;
    bool mShown = false;
    std::chrono::steady_clock::time_point mLast{};
};
