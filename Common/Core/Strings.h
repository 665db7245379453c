// Text helpers shared by every module.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mc {

// printf-style formatting into a std::string, with the C99 conversions
// (%zu, %lld) on every system: MinGW builds use its own standard printf
// (__USE_MINGW_ANSI_STDIO), not the one of the Windows C runtime.
std::string Format(const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// ASCII case mapping, as names in the game's files are compared.
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

// Removes spaces and control characters at both ends.
std::string Trim(std::string_view text);

// Exact, case-sensitive match against entries 0..lastIndex.
bool StrInArray(std::string_view text, const std::vector<std::string>& items, int lastIndex);

// The extension with its dot, in lower case ("" when there is none).
std::string LowerExt(std::string_view fileName);
// The file name part of a path without its extension.
std::string NameWithoutExt(std::string_view path);
bool StartsWithBackslash(std::string_view text);
std::string ExcludeTrailingBackslash(std::string_view text);

}  // namespace mc
