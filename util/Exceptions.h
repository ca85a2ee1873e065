// The two exceptions of the text toolkit. Both carry their message as what().
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace util {

// Malformed text. `position` is the offset at which the error was found: bytes for byte input,
// 16-bit units for wide input, the read position for stream input.
class invalid_format_argument : public std::invalid_argument {
public:
    invalid_format_argument(const std::string& message, std::int32_t where)
        : std::invalid_argument(message), position(where) {}

    std::int32_t position;
};

// A formatted result longer than the formatting limit.
class buffer_overrun : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

}  // namespace util
