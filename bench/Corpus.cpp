#include "Corpus.h"

#include <algorithm>
#include <random>
#include <stdexcept>

#include "plc/DeviceText.h"
#include "plc/Factory.h"

namespace zv_bench {

void PlcDeleter::operator()(pqcore::PqPlcIF* plc) const {
    FreePlcObject(plc);
}

std::vector<std::string> FamilyNames() {
    return {"GL", "SH", "H", "MS", "MP"};
}

PlcPtr CreateFamily(const std::string& name, int terminal) {
    PlcPtr plc(CreatePlcObject(L"ZORVIKAN-" + std::wstring(name.begin(), name.end())));
    if (!plc) throw std::invalid_argument("no family " + name);
    plc->SetTerminalType(terminal);
    return plc;
}

namespace {

using pqcore::PqDevice;

constexpr int kDataTypes[] = {'b', 'i', 'u', 'd', 'I', 'U', 'D', 'F'};

class Random {
public:
    explicit Random(std::uint64_t seed) : mRng(seed) {}
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(mRng() % n); }
    bool Percent(std::uint32_t p) { return Below(100) < p; }

private:
    std::mt19937_64 mRng;
};

PqDevice Device(int code, std::int32_t number, int type) {
    PqDevice d;
    d.mCode = code;
    d.mNumber = number;
    d.mType = type;
    return d;
}

// The numbers a kind accepts for one data type: [low, high] in steps of one (bits) or 16.
struct Kind {
    int code;
    int type;
    std::int32_t low;
    std::int32_t high;
    std::int32_t step;
};

bool Accepts(const pqcore::PqPlcIF& plc, int code, std::int64_t number, int type) {
    return plc.CheckDeviceRange(Device(code, static_cast<std::int32_t>(number), type), 1) ==
           DeviceResult::Ok;
}

// Every kind of the family's code table with every data type it takes. A range is found by
// probing for a first accepted number, then searching for the last one.
std::vector<Kind> Kinds(const pqcore::PqPlcIF& plc) {
    int count = 0;
    const int* codes = plc.GetDeviceCodeTable(count);
    std::vector<Kind> kinds;
    for (int i = 0; i < count; ++i) {
        const int code = codes[i];
        if (code == 0) continue;
        for (const int type : kDataTypes) {
            const std::int64_t step = type == 'b' ? 1 : 16;
            std::int64_t low = -1;
            for (const std::int64_t probe : {0, 16, 256, 4096, 32768, 65536}) {
                if (Accepts(plc, code, probe, type)) {
                    low = probe;
                    break;
                }
            }
            if (low < 0) continue;
            std::int64_t ok = low;
            std::int64_t bad = low + step;
            while (bad < (std::int64_t{1} << 30) && Accepts(plc, code, bad, type)) {
                ok = bad;
                bad = low + 2 * (bad - low);
            }
            while (bad - ok > step) {
                const std::int64_t mid = ok + (bad - ok) / 2 / step * step;
                (Accepts(plc, code, mid, type) ? ok : bad) = mid;
            }
            kinds.push_back({code, type, static_cast<std::int32_t>(low),
                             static_cast<std::int32_t>(ok), static_cast<std::int32_t>(step)});
        }
    }
    return kinds;
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// Letters at the start of a device text (after any network prefix): the kind's name.
std::size_t PrefixEnd(const std::wstring& text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() &&
           ((text[i] >= L'A' && text[i] <= L'Z') || (text[i] >= L'a' && text[i] <= L'z')))
        ++i;
    return i;
}

// Invalid texts the way people mistype: a stray letter, too many digits, an unknown kind, a bare
// kind name, a bit out of range, a sign, junk, a cut-off text, a network part that does not fit.
std::wstring Mistype(const std::wstring& full, const std::wstring& local, Random& rng) {
    switch (rng.Below(10)) {
        case 0:
            return full + L"X";
        case 1:
            return full + L"9999999";
        case 2:
            return L"Q" + local.substr(1);
        case 3:
            return L"";
        case 4:
            return local.substr(0, PrefixEnd(local, 0));
        case 5:
            return local + L".b16";
        case 6: {
            const std::size_t p = PrefixEnd(local, 0);
            return local.substr(0, p) + L"-" + local.substr(p);
        }
        case 7: {
            static constexpr char kJunk[] = "MBWIODGSZKR0123456789.-:bx ";
            std::wstring junk;
            for (std::uint32_t n = 1 + rng.Below(12); n > 0; --n)
                junk += static_cast<wchar_t>(kJunk[rng.Below(sizeof kJunk - 1)]);
            return junk;
        }
        case 8:
            return full.substr(0, full.size() / 2);
        default:
            return L"999-1 " + local;
    }
}

}  // namespace

FamilyCorpus MakeCorpus(const std::string& name, std::size_t size, std::uint64_t seed) {
    FamilyCorpus corpus;
    corpus.name = name;
    corpus.id = L"ZORVIKAN-" + Widen(name);
    for (const char c : name)
        seed = (seed ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    Random rng(seed);
    const PlcPtr plc = CreateFamily(name, corpus.terminal);
    const std::vector<Kind> kinds = Kinds(*plc);
    if (kinds.empty()) throw std::logic_error("family " + name + " accepts no device");

    // Valid records: a kind and data type, a number in its range; MP's own devices carry a
    // network part half of the time.
    while (corpus.valid.size() < size) {
        const Kind& k = kinds[rng.Below(static_cast<std::uint32_t>(kinds.size()))];
        const std::int64_t slots = (static_cast<std::int64_t>(k.high) - k.low) / k.step + 1;
        const auto number = static_cast<std::int32_t>(
            k.low +
            static_cast<std::int64_t>(rng.Below(static_cast<std::uint32_t>(slots))) * k.step);
        PqDevice d = Device(k.code, number, k.type);
        if (rng.Percent(50)) {
            PqDevice networked = d;
            networked.mSegment.mNetworkNo = static_cast<std::int16_t>(1 + rng.Below(239));
            networked.mSegment.mStationNo = static_cast<std::int16_t>(1 + rng.Below(65));
            if (plc->CheckDeviceRange(networked, 1) == DeviceResult::Ok) d = networked;
        }
        if (plc->CheckDeviceRange(d, 1) == DeviceResult::Ok) corpus.valid.push_back(d);
    }

    // Records for the range check: seven in ten valid, the rest beyond a range, negative,
    // misaligned, of an unknown code or of a type the kind does not take.
    for (std::size_t i = 0; i < size; ++i) {
        PqDevice d = corpus.valid[i];
        if (rng.Percent(30)) {
            const Kind& k = kinds[rng.Below(static_cast<std::uint32_t>(kinds.size()))];
            switch (rng.Below(5)) {
                case 0:
                    d = Device(k.code,
                               k.high + k.step * static_cast<std::int32_t>(1 + rng.Below(100)),
                               k.type);
                    break;
                case 1:
                    d = Device(k.code, -static_cast<std::int32_t>(1 + rng.Below(1000)), k.type);
                    break;
                case 2:
                    d = Device(k.code, k.low + 1 + static_cast<std::int32_t>(rng.Below(15)), 'I');
                    break;
                case 3:
                    d = Device(static_cast<int>(1000 + rng.Below(5000)), k.low, k.type);
                    break;
                default:
                    d.mType = 'q';
                    break;
            }
        }
        corpus.devices.push_back(d);
    }

    // Typed texts for StringToDevice: the printed text, in lower case, without network part,
    // with a bit suffix written another way or blanks around it, or mistyped.
    for (std::size_t i = 0; i < size; ++i) {
        const PqDevice& d = corpus.valid[i];
        std::wstring full, local;
        plc->DeviceToString(d, full);
        plc->DeviceToLocalString(d, local);
        TextItem item{full, d.mType, false};
        const std::uint32_t r = rng.Below(100);
        if (r < 35) {
        } else if (r < 50) {
            item.text = Lower(full);
        } else if (r < 60) {
            item.text = local;
        } else if (r < 65) {
            const std::size_t dot = full.find(L".b");
            item.text =
                dot == std::wstring::npos
                    ? L" " + full + L" "
                    : full.substr(0, dot) + (rng.Percent(50) ? L"." : L".B") + full.substr(dot + 2);
        } else {
            item.text = Mistype(full, local, rng);
            if (rng.Percent(20)) item.dataType = kDataTypes[rng.Below(8)];
        }
        corpus.texts.push_back(item);
        corpus.scanTexts.push_back(NormalizeDeviceText(item.text, true));
    }

    // Texts with data-type tags: as printed (short or detailed tags), the device part in lower
    // case, or with an unknown tag, no tag, or a bit tag on a word-wide text.
    for (std::size_t i = 0; i < size; ++i) {
        const PqDevice& d = corpus.valid[(i * 7 + 3) % size];
        TextItem item;
        item.detailed = rng.Percent(50);
        plc->DeviceToTypedString(d, item.text, item.detailed);
        const std::uint32_t r = rng.Below(100);
        const std::size_t colon = item.text.rfind(L':');
        if (r < 70 || colon == std::wstring::npos) {
        } else if (r < 80) {
            item.text = item.text.substr(0, colon + 1) + Lower(item.text.substr(colon + 1));
        } else if (r < 87) {
            item.text = L"x16" + item.text.substr(item.text.find(L':'));
        } else if (r < 94) {
            item.text = item.text.substr(colon + 1);
        } else {
            item.text = L"b" + item.text.substr(item.text.find(L':'));
        }
        corpus.typed.push_back(item);
    }
    return corpus;
}

}  // namespace zv_bench
