// printf-style texts from the string table, filled with typed values in the C locale.
//
// A translated text may carry other conversions than the program's own table (a "%d" where
// the program has "%.2f", or fewer conversions): every conversion takes the next value and
// prints it the way the conversion asks (a number given to "%s" prints in its shortest
// form, a text given to a number conversion prints as it is). Missing values print nothing;
// "%%" prints "%". Numbers never depend on the user's locale.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

using FormatArg = std::variant<std::int64_t, double, std::string>;

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> values);
