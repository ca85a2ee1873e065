// The four device kinds the MP and SH families share: IB and MB bits, IW and MW words, all
// numbered as bit addresses (word × 16 + bit). The families differ only in ranges, zero padding,
// block codes and tables, which they pass in here.
#pragma once

#include <cstdint>
#include <string>

#include "families/FamilyRules.h"
#include "pqcore/PlcTypes.h"
#include "pqcore/PqDevice.h"

namespace family::io_memory {

inline constexpr int kIB = 156;
inline constexpr int kMB = 157;
inline constexpr int kIW = 168;
inline constexpr int kMW = 175;

inline bool IsOwnCode(int code) {
    return code == kIB || code == kMB || code == kIW || code == kMW;
}
inline bool IsBitKind(int code) {
    return code == kIB || code == kMB;
}

const wchar_t* PrefixOf(const PqDevice& device);
int NumberBaseOf(const PqDevice& device);

inline constexpr PrefixCode kPrefixOrder[] = {
    {L"IB", kIB, 0}, {L"MB", kMB, 0}, {L"IW", kIW, 0}, {L"MW", kMW, 0}};
inline constexpr Kind kBitKinds[] = {{L"MB", kMB}, {L"IB", kIB}};
inline constexpr Kind kWordKinds[] = {{L"IW", kIW}, {L"MW", kMW}};

// Text formats of the bit kinds: whole bit address / word of IB; word and bit / word of MB.
// Each is a util::StaticFormat's Append.
struct TextFormats {
    void (*ibBits)(std::wstring&, unsigned long);
    void (*ibWord)(std::wstring&, unsigned long);
    void (*mbBits)(std::wstring&, long, unsigned long);
    void (*mbWord)(std::wstring&, long);
};
// Appends the text of a checked device of these kinds.
void AppendDeviceText(const PqDevice& device, const TextFormats& formats, std::wstring& text);

// MB with a bit type: five decimal word digits and one hex bit digit, right-aligned in a
// six-digit field ("MB1F" reads as "MB00001F": word 1, bit 15); words from `wordLimit` on are out
// of range. Other types: a decimal word. Texts longer than 8 (bit) or 7 characters are refused.
DeviceResult ConvertMb(ParseState& state, std::int32_t wordLimit);

// IB is hexadecimal throughout: the bit address with a bit type, else the word, in texts of at
// most `bitLength` or `wordLength` characters.
DeviceResult ConvertIb(ParseState& state, std::size_t bitLength, std::size_t wordLength);

// Limits of mNumber per kind.
struct Limits {
    std::int64_t ib, mb, iw, mw;
};
// The compact terminal and terminal type 6 take bit kinds only as bits, word kinds only as words.
DeviceResult CheckTypeForTerminal(int terminalType, const PqDevice& device);
DeviceResult CheckRange(const PqDevice& device, int count, const Limits& limits);

// Bit devices beyond the first 4096 words travel under one flat code per block of 4096 words.
struct Blocks {
    int ib;                  // IB blocks 1..ib under 39936 + k
    int mb;                  // MB blocks 1..mb under 40192 + k
    bool otherWordsAsWords;  // words beyond the blocks as word form (else bit form, own code)
};
bool IsBitAddressCode(int code, const Blocks& blocks);
void ToPlcAddress(const PqDevice& device, PlcAddress& address, const Blocks& blocks);
// False when the code is none of the kinds' flat codes.
bool FromPlcAddress(const PlcAddress& address, PqDevice& device, const Blocks& blocks);

// Lowest and highest number texts per kind and data type width.
struct RangeTexts {
    const wchar_t *ibBitsLow, *ibBitsHigh, *ibBitsHigh4, *ibLow, *ibHigh, *ibHighWide;
    const wchar_t *mbBitsLow, *mbBitsHigh, *mbBitsHigh4, *mbLow, *mbHigh, *mbHighWide;
    const wchar_t *iwLow, *iwHigh, *iwHighWide;
    const wchar_t *mwLow, *mwHigh, *mwHighWide;
};
void AppendRangeTexts(const PqDevice& device, bool flag4, const RangeTexts& texts,
                      std::vector<std::wstring>& lows, std::vector<std::wstring>& highs);

}  // namespace family::io_memory
