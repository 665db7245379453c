#include "Core/ValueParsing.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <limits>

#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

namespace {

char LocaleDecimalSeparator()
{
    const std::lconv* lc = std::localeconv();
    return lc && lc->decimal_point && lc->decimal_point[0] ? lc->decimal_point[0] : '.';
}

// Accepts [sign] digits [sep digits] [e|E [sign] digits]; nothing else.
bool ParseFloat(const std::string& text, char separator, double& value)
{
    std::string normal;
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') normal += text[i++], ++digits;
    if (i < n && text[i] == separator) {
        normal += '.';
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') normal += text[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        size_t exp = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') normal += text[i++], ++exp;
        if (exp == 0) return false;
    }
    if (i != n) return false;
    // strtod follows the C locale's separator; the text now uses '.'.
    const char c = LocaleDecimalSeparator();
    if (c != '.')
        for (char& ch : normal)
            if (ch == '.') ch = c;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(normal.c_str(), &end);
    if (end != normal.c_str() + normal.size() || errno == ERANGE) return false;
    value = v;
    return true;
}

}  // namespace

bool StrToFloatCheck(std::string_view text, double& value)
{
    const std::string trimmed = Trim(text);
    if (ParseFloat(trimmed, LocaleDecimalSeparator(), value)) return true;
    ShowMessage(TMessageKind::Error, Format("Floating-point value expected instead of \"%s\" !", trimmed.c_str()));
    return false;
}

bool StrToFloatCheck(std::string_view text, float& value)
{
    double v = value;
    if (!StrToFloatCheck(text, v)) return false;
    value = static_cast<float>(v);
    return true;
}

bool StrToIntCheck(std::string_view text, int& value)
{
    const std::string trimmed = Trim(text);
    bool ok = !trimmed.empty();
    long long v = 0;
    size_t i = 0;
    bool negative = false;
    if (ok && (trimmed[0] == '+' || trimmed[0] == '-')) negative = trimmed[i++] == '-';
    if (i == trimmed.size()) ok = false;
    for (; ok && i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) ok = false;
    }
    if (ok) {
        if (negative) v = -v;
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) ok = false;
    }
    if (!ok) {
        ShowMessage(TMessageKind::Error, Format("Integer value expected instead of \"%s\" !", trimmed.c_str()));
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool CheckRange(int value, int low, int high)
{
    if (value >= low && value <= high) return true;
    ShowMessage(TMessageKind::Error, Format("Value from range %d..%d expected!", low, high));
    return false;
}

}  // namespace mc
