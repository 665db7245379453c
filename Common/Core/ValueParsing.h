// Parsing of numbers typed by the user. Failures show their message through
// the application services and return false, leaving the value unchanged.
#pragma once

#include <string_view>

namespace mc {

// Converts with the current locale's decimal separator.
bool StrToFloatCheck(std::string_view text, double& value);
bool StrToFloatCheck(std::string_view text, float& value);
// Decimal integer, 32-bit signed.
bool StrToIntCheck(std::string_view text, int& value);
bool CheckRange(int value, int low, int high);

}  // namespace mc
