// Texts and values as command lines and their messages write them.
#ifndef CLI_VALUES_H
#define CLI_VALUES_H

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// text between single quotes, as messages show a name or a value: 'text', escaped as below.
std::string quoted(std::string_view text);

// text as a message can show it on a terminal: control characters (C0, DEL and C1) and bytes
// that are not UTF-8 as \xNN, anything else as it is. Text escaped already stays as it is.
std::string escaped(std::string_view text);

// The items of a comma-separated list, in order, empty ones included: "a,,b" gives "a", "", "b"
// and "" gives one empty item.
std::vector<std::string_view> split_list(std::string_view list);

// The whole of text read as decimal digits (no sign, no space), or nothing when it is anything
// else or its value exceeds max.
std::optional<uint64_t> parse_decimal(std::string_view text,
                                      uint64_t max = std::numeric_limits<uint64_t>::max());

// The whole of text read as a finite decimal number (a sign, digits, a point, an exponent), or
// nothing when it is anything else.
std::optional<double> parse_number(std::string_view text);

}  // namespace cli

#endif  // CLI_VALUES_H
