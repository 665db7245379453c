#include "Core/Strings.h"

#include <cstdarg>
#include <cstdio>

namespace mc {

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string LowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string Trim(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return std::string(text.substr(b, e - b));
}

bool StrInArray(std::string_view text, const std::vector<std::string>& items, int lastIndex)
{
    for (int i = 0; i <= lastIndex && i < static_cast<int>(items.size()); ++i)
        if (items[static_cast<size_t>(i)] == text) return true;
    return false;
}

namespace {
size_t NameStart(std::string_view path)
{
    const size_t sep = path.find_last_of("\\/:");
    return sep == std::string_view::npos ? 0 : sep + 1;
}
}  // namespace

std::string LowerExt(std::string_view fileName)
{
    const size_t start = NameStart(fileName);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < start) return {};
    return LowerCase(fileName.substr(dot));
}

std::string NameWithoutExt(std::string_view path)
{
    const std::string_view name = path.substr(NameStart(path));
    const size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

bool StartsWithBackslash(std::string_view text) { return !text.empty() && text.front() == '\\'; }

std::string ExcludeTrailingBackslash(std::string_view text)
{
    if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    return std::string(text);
}

}  // namespace mc
