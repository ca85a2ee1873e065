// The end-to-end check of a generated tag list: the built `zorvikan check` run as a user runs
// it, through the built module, on 100,000 and 1,000,000 rows of the MP mix. Wall time per run
// (the work happens in the child process), items are rows, and the child's peak resident memory
// (its high-water mark) is reported beside it, to show that it does not grow with the list.
#include <benchmark/benchmark.h>

#include "Benchmarks.h"

#if defined(ZV_TOOL_PATH)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "Corpus.h"

extern char** environ;

namespace zv_bench {
namespace {

constexpr std::size_t kMask = kCorpusSize - 1;

// The generated lists, removed when the benchmark ends.
class TagLists {
public:
    ~TagLists() {
        std::error_code ignored;
        for (const auto& [rows, path] : mPaths)
            std::filesystem::remove(path, ignored);
    }

    // "Tag,Address,DataType,Description" rows cycling through the MP mix (valid and mistyped
    // texts, network prefixes, bit suffixes), each with its data-type character.
    const std::string& Get(std::int64_t rows) {
        auto it = mPaths.find(rows);
        if (it != mPaths.end()) return it->second;
        const FamilyCorpus corpus = MakeCorpus("MP", kCorpusSize);
        const std::string path =
            (std::filesystem::temp_directory_path() /
             ("zv_bench_tags_" + std::to_string(getpid()) + "_" + std::to_string(rows) + ".csv"))
                .string();
        std::ofstream out(path, std::ios::binary);
        out << "Tag,Address,DataType,Description\n";
        for (std::int64_t i = 0; i < rows; ++i) {
            const TextItem& t = corpus.texts[static_cast<std::size_t>(i) & kMask];
            std::string address;
            for (const wchar_t c : t.text)
                address += static_cast<char>(c);  // the mix is ASCII
            if (address.find_first_of(",\"") != std::string::npos) {
                std::string quoted = "\"";
                for (const char c : address)
                    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
                address = quoted + "\"";
            }
            out << "Tag_" << i << ',' << address << ',' << static_cast<char>(t.dataType) << ",Row "
                << i << '\n';
        }
        return mPaths.emplace(rows, path).first->second;
    }

private:
    std::map<std::int64_t, std::string> mPaths;
};

TagLists gTagLists;

struct Run {
    double seconds = 0;
    long peakKilobytes = 0;
    int status = -1;  // exit status; 0 all valid, 1 some invalid
};

// VmHWM of a running process, 0 when it cannot be read.
long HighWaterKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// Output goes to /dev/null: printing the failing rows is part of the check, reading them is not.
Run RunCheck(const std::string& list) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* const argv[] = {
        ZV_TOOL_PATH, "check",   list.c_str(),    "--plc",    "ZORVIKAN-MP",   "--terminal", "4",
        "--column",   "Address", "--type-column", "DataType", "--no-progress", nullptr};
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, ZV_TOOL_PATH, &actions, nullptr, const_cast<char* const*>(argv),
                    environ) == 0) {
        // The child's own high-water mark, sampled while it runs: the rusage of a spawned child
        // also counts the parent's memory it shared before exec.
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
            run.peakKilobytes = std::max(run.peakKilobytes, HighWaterKilobytes(pid));
            usleep(2000);
        }
        if (done == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void Check(benchmark::State& state) {
    const std::string& list = gTagLists.Get(state.range(0));
    long peak = 0;
    for (auto _ : state) {
        const Run run = RunCheck(list);
        if (run.status != 0 && run.status != 1) {
            state.SkipWithError("zorvikan check did not run to its end");
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakKilobytes);
    }
    state.counters["peak_rss_kB"] = static_cast<double>(peak);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

bool RegisterCheckBenchmarks() {
    benchmark::RegisterBenchmark("check/MP", &Check)
        ->Arg(100'000)
        ->Arg(1'000'000)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    return true;
}

}  // namespace zv_bench

#else

namespace zv_bench {

// Built without the host tool: nothing to run end to end.
bool RegisterCheckBenchmarks() {
    return true;
}

}  // namespace zv_bench

#endif
