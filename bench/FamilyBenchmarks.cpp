// Per-family benchmarks: the scanner alone, StringToDevice, DeviceToLocalString/DeviceToString,
// TypedStringToDevice and a parse + check + format cycle, each as an ours/reference pair; range
// checks, flat addresses and sorting without a pair.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Benchmarks.h"
#include "Corpus.h"
#include "families/ZorvikanGL.h"
#include "families/ZorvikanH.h"
#include "families/ZorvikanMP.h"
#include "families/ZorvikanMS.h"
#include "families/ZorvikanSH.h"
#include "plc/InternalDevices.h"
#include "util/CompiledPattern.h"
#include "util/Scanner.h"
#include "util/TextBackend.h"

namespace zv_bench {
namespace {

using pqcore::PqDevice;
using util::TextBackend;

static_assert((kCorpusSize & (kCorpusSize - 1)) == 0, "the input index wraps with a mask");
constexpr std::size_t kMask = kCorpusSize - 1;

struct Family {
    FamilyCorpus corpus;
    PlcPtr plc;
    std::span<const family::ParseRule> rules;
    std::vector<PlcAddress> addresses;  // of corpus.valid
    std::vector<TextItem> validTexts;   // the full texts of corpus.valid
    std::vector<PqDevice> sortInput;    // kSortSize valid devices
};

std::span<const family::ParseRule> RulesOf(const std::string& name) {
    if (name == "GL") return ZorvikanGL::ParseRules();
    if (name == "SH") return ZorvikanSH::ParseRules();
    if (name == "H") return ZorvikanH::ParseRules();
    if (name == "MS") return ZorvikanMS::ParseRules();
    return ZorvikanMP::ParseRules();
}

// The other patterns StringToDevice scans besides the family's rules, as the module writes them
// (they are private to their sources): the internal devices and MP's network prefix.
// Compiled, as the module's own are.
using ScanFn = int (*)(std::string_view, std::int32_t&, std::int32_t&);
constexpr ScanFn kInternalPatterns[] = {
    &util::CompiledPattern<"GB%8ld%n">::Scan<std::int32_t, std::int32_t>,
    &util::CompiledPattern<"GD%8ld%n">::Scan<std::int32_t, std::int32_t>,
    &util::CompiledPattern<"GS%8ld%n">::Scan<std::int32_t, std::int32_t>,
    &util::CompiledPattern<"EG%8ld%n">::Scan<std::int32_t, std::int32_t>};
using PrefixPresent = util::CompiledPattern<"%u-%x%c">;
using PrefixStation = util::CompiledPattern<"%8u-%8u%c%n">;
using PrefixOwn = util::CompiledPattern<"%8u-%8x%c%n">;

// The scanner alone on the patterns StringToDevice reads one normalised text with: MP's network
// prefix, the family's patterns in order until one converts, else the internal devices'
// patterns, then the bit suffix. Every pattern is scanned in full: the module's own shortcuts
// (rules passed over by their first character, the prefix asked in its likeliest form first)
// are family logic, not scanning, and are left out. Returns a digest of what was scanned
// (unsigned: it wraps).
std::uint64_t ScanSequence(const Family& f, std::string_view text) {
    std::uint64_t digest = 0;
    if (f.corpus.name == "MP") {
        std::uint32_t first = 0, second = 0;
        char after = 0;
        std::int32_t used = 0;
        if (PrefixPresent::Scan(text, first, second, after) == 3 && after == ' ') {
            if ((PrefixStation::Scan(text, first, second, after, used) == 3 && after == ' ') ||
                (PrefixOwn::Scan(text, first, second, after, used) == 3 && after == ' '))
                text.remove_prefix(std::min(text.size(), static_cast<std::size_t>(used)));
            digest += std::uint64_t{first} * 131 + second;
        }
    }
    std::int32_t value = 0, used = -1;
    bool matched = false;
    for (const family::ParseRule& rule : f.rules) {
        if (rule.scan(text, value, used) == 1) {
            matched = true;
            break;
        }
    }
    if (!matched) {
        for (const ScanFn scan : kInternalPatterns) {
            if (scan(text, value, used) == 1) {
                matched = true;
                break;
            }
        }
    }
    if (matched) {
        unsigned bit = 0;
        const std::string_view rest =
            text.substr(std::min(text.size(), static_cast<std::size_t>(used)));
        digest += static_cast<std::uint64_t>(ParseBitSuffix(rest, bit)) * 17 + bit;
    }
    return digest * 7919 + static_cast<std::uint32_t>(value) * 31ull +
           static_cast<std::uint32_t>(used);
}

std::vector<std::unique_ptr<Family>>& Families() {
    static std::vector<std::unique_ptr<Family>> families;
    return families;
}

// Everything the paired operations give back, as one line per input, on one backend.
std::vector<std::wstring> Results(const Family& f, TextBackend backend) {
    const util::ScopedTextBackend scoped(backend);
    std::vector<std::wstring> lines;
    const auto device = [](const PqDevice& d) {
        return std::to_wstring(d.mCode) + L"/" + std::to_wstring(d.mNumber) + L"/" +
               std::to_wstring(d.mType) + L"/" + std::to_wstring(d.mSegment.mNetworkNo) + L"/" +
               std::to_wstring(d.mSegment.mStationNo);
    };
    for (const std::string& text : f.corpus.scanTexts)
        lines.push_back(std::to_wstring(ScanSequence(f, text)));
    for (const TextItem& t : f.corpus.texts) {
        PqDevice d;
        const auto r = f.plc->StringToDevice(t.text, t.dataType, d);
        lines.push_back(std::to_wstring(static_cast<int>(r)) + L" " + device(d));
    }
    for (const TextItem& t : f.corpus.typed) {
        PqDevice d;
        std::wstring tag;
        const auto r = f.plc->TypedStringToDevice(t.text, d, tag, t.detailed);
        lines.push_back(std::to_wstring(static_cast<int>(r)) + L" " + device(d) + L" " + tag);
    }
    for (const PqDevice& d : f.corpus.valid) {
        std::wstring local, full;
        f.plc->DeviceToLocalString(d, local);
        f.plc->DeviceToString(d, full);
        lines.push_back(local + L"|" + full);
    }
    return lines;
}

using Body = void (*)(benchmark::State&, const Family&);

// One benchmark per backend, adjacent, named <name>/ours and <name>/reference.
void RegisterPair(const std::string& name, const Family& f, Body body) {
    for (const TextBackend backend : {TextBackend::Ours, TextBackend::CLibrary}) {
        const std::string full = name + (backend == TextBackend::Ours ? "/ours" : "/reference");
        benchmark::RegisterBenchmark(full.c_str(), [&f, body, backend](benchmark::State& state) {
            const util::ScopedTextBackend scoped(backend);
            body(state, f);
            state.SetItemsProcessed(state.iterations());
        });
    }
}

void Single(const std::string& name, const Family& f, Body body) {
    benchmark::RegisterBenchmark(name.c_str(), [&f, body](benchmark::State& state) {
        body(state, f);
        state.SetItemsProcessed(state.iterations());
    });
}

void Scan(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanSequence(f, f.corpus.scanTexts[i]));
        i = (i + 1) & kMask;
    }
}

void Parse(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    PqDevice d;
    for (auto _ : state) {
        const TextItem& t = f.corpus.texts[i];
        benchmark::DoNotOptimize(f.plc->StringToDevice(t.text, t.dataType, d));
        i = (i + 1) & kMask;
    }
    benchmark::DoNotOptimize(d.mNumber);
}

// DeviceToLocalString or DeviceToString of valid records.
template <DeviceResult (pqcore::PqPlcIF::*Print)(const PqDevice&, std::wstring&) const>
void Format(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    std::wstring text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(((*f.plc).*Print)(f.corpus.valid[i], text));
        benchmark::DoNotOptimize(text.data());
        i = (i + 1) & kMask;
    }
}

void Typed(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    PqDevice d;
    std::wstring tag;
    for (auto _ : state) {
        const TextItem& t = f.corpus.typed[i];
        benchmark::DoNotOptimize(f.plc->TypedStringToDevice(t.text, d, tag, t.detailed));
        i = (i + 1) & kMask;
    }
    benchmark::DoNotOptimize(d.mNumber);
}

// What an editor does per tag of a project: read the text, check the device, print it back.
void Cycle(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    PqDevice d;
    std::wstring text;
    for (auto _ : state) {
        const TextItem& t = f.validTexts[i];
        benchmark::DoNotOptimize(f.plc->StringToDevice(t.text, t.dataType, d));
        benchmark::DoNotOptimize(f.plc->CheckDeviceRange(d, 1));
        benchmark::DoNotOptimize(f.plc->DeviceToString(d, text));
        i = (i + 1) & kMask;
    }
}

void CheckRange(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.plc->CheckDeviceRange(f.corpus.devices[i], 1));
        i = (i + 1) & kMask;
    }
}

void ToPlcAddress(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    PlcAddress a;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.plc->DeviceToPlcAddress(f.corpus.valid[i], a));
        benchmark::DoNotOptimize(a);
        i = (i + 1) & kMask;
    }
}

void FromPlcAddress(benchmark::State& state, const Family& f) {
    std::size_t i = 0;
    PqDevice d;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.plc->PlcAddressToDevice(f.addresses[i], d));
        i = (i + 1) & kMask;
    }
    benchmark::DoNotOptimize(d.mNumber);
}

// Sorting kSortSize devices with the family's order; items are devices sorted.
void Sort(benchmark::State& state, const Family& f) {
    std::vector<PqDevice> devices;
    for (auto _ : state) {
        state.PauseTiming();
        devices = f.sortInput;
        state.ResumeTiming();
        std::sort(devices.begin(), devices.end(), [&f](const PqDevice& a, const PqDevice& b) {
            return f.plc->CompareDevices(a, b, false) < 0;
        });
        benchmark::DoNotOptimize(devices.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kSortSize));
}

}  // namespace

bool RegisterFamilyBenchmarks() {
    for (const std::string& name : FamilyNames()) {
        auto f = std::make_unique<Family>();
        f->corpus = MakeCorpus(name, kCorpusSize);
        f->plc = CreateFamily(name, f->corpus.terminal);
        f->rules = RulesOf(name);
        for (const PqDevice& d : f->corpus.valid) {
            PlcAddress a;
            f->plc->DeviceToPlcAddress(d, a);
            f->addresses.push_back(a);
            std::wstring text;
            f->plc->DeviceToString(d, text);
            f->validTexts.push_back({text, d.mType, false});
        }
        f->sortInput = MakeCorpus(name, kSortSize, 7).valid;

        const std::vector<std::wstring> ours = Results(*f, TextBackend::Ours);
        const std::vector<std::wstring> reference = Results(*f, TextBackend::CLibrary);
        if (ours != reference) {
            std::fprintf(stderr, "zv_bench: family %s gives different results per backend\n",
                         name.c_str());
            return false;
        }
        Families().push_back(std::move(f));
    }

    for (const auto& f : Families()) {
        const std::string& n = f->corpus.name;
        RegisterPair("scan/" + n, *f, &Scan);
        RegisterPair("parse/" + n, *f, &Parse);
        RegisterPair("format/" + n + "/DeviceToLocalString", *f,
                     &Format<&pqcore::PqPlcIF::DeviceToLocalString>);
        RegisterPair("format/" + n + "/DeviceToString", *f,
                     &Format<&pqcore::PqPlcIF::DeviceToString>);
        RegisterPair("typed/" + n, *f, &Typed);
        RegisterPair("cycle/" + n, *f, &Cycle);
    }
    for (const auto& f : Families()) {
        const std::string& n = f->corpus.name;
        Single("range/" + n + "/CheckDeviceRange", *f, &CheckRange);
        Single("address/" + n + "/DeviceToPlcAddress", *f, &ToPlcAddress);
        Single("address/" + n + "/PlcAddressToDevice", *f, &FromPlcAddress);
        benchmark::RegisterBenchmark(("sort/" + n + "/CompareDevices").c_str(),
                                     [&f = *f](benchmark::State& state) { Sort(state, f); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}

}  // namespace zv_bench
