// Numbers of config texts, read and written with "." as the decimal
// separator whatever the user's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mc {

enum : uint8_t {
    kTokenLineEnd = 0,
    kTokenIdentifier = 1,
    kTokenString = 2,
    kTokenInteger = 3,
    kTokenFloat = 4,
    kTokenTextEnd = 0x1A,
};

// Decides the kind of a value word: kTokenInteger (integer set), kTokenFloat
// (number set) or kTokenString. A number is an optional sign, blanks, at
// least one digit, optionally "." and digits, optionally an exponent.
uint8_t ClassifyConfigWord(std::string_view word, int32_t& integer, float& number);

// The word as a number of either kind; false when it is not one.
bool ParseConfigNumber(std::string_view word, float& number);

// A float as config texts write it: "%.6f" when that reads back to the
// same value, else the shortest text that does.
void AppendConfigFloat(std::string& out, float value);
std::string FormatConfigFloat(float value);

void AppendConfigInteger(std::string& out, int32_t value);

}  // namespace mc
