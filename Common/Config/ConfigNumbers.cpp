#include "Config/ConfigNumbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace mc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool InNumberSet(char c)
{
    return IsDigit(c) || c == '\t' || c == ' ' || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

}  // namespace

uint8_t ClassifyConfigWord(std::string_view w, int32_t& integer, float& number)
{
    const size_t n = w.size();
    if (n == 0) return kTokenString;
    for (char c : w)
        if (!InNumberSet(c)) return kTokenString;

    size_t i = 0;
    bool negative = false;
    if (w[i] == '+' || w[i] == '-') {
        negative = w[i] == '-';
        ++i;
        while (i < n && (w[i] == '\t' || w[i] == ' ')) ++i;
    }
    const size_t digitsStart = i;
    while (i < n && IsDigit(w[i])) ++i;
    if (i == digitsStart) return kTokenString;
    if (i == n) {
        // Integer: the digits with the sign, within 32 bits.
        uint64_t value = 0;
        for (size_t k = digitsStart; k < n; ++k) {
            value = value * 10 + static_cast<uint64_t>(w[k] - '0');
            if (value > 0x80000000ull) return kTokenString;
        }
        if (!negative && value > 0x7FFFFFFFull) return kTokenString;
        integer = negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
        return kTokenInteger;
    }
    if (w[i] == '.') {
        ++i;
        while (i < n && IsDigit(w[i])) ++i;
    }
    if (i < n && (w[i] == 'E' || w[i] == 'e')) {
        ++i;
        if (i < n && (w[i] == '+' || w[i] == '-')) ++i;
        const size_t expStart = i;
        while (i < n && IsDigit(w[i])) ++i;
        if (i == expStart) return kTokenString;
    }
    if (i != n) return kTokenString;

    // from_chars takes neither a '+' nor blanks after the sign: give it the
    // number alone.
    char buffer[128];
    std::string_view digits = w.substr(digitsStart);
    std::string compact;
    const char* first;
    const char* last;
    if (digits.size() + 1 <= sizeof buffer) {
        size_t k = 0;
        if (negative) buffer[k++] = '-';
        std::memcpy(buffer + k, digits.data(), digits.size());
        first = buffer;
        last = buffer + k + digits.size();
    } else {
        compact.reserve(digits.size() + 1);
        if (negative) compact += '-';
        compact += digits;
        first = compact.data();
        last = first + compact.size();
    }
    double value = 0;
    const auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last) return kTokenString;
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return kTokenString;
    float f = 0;
    const auto single = std::from_chars(first, last, f);
    // Underflow to zero or a denormal is still a number.
    if (single.ptr != last) return kTokenString;
    if (single.ec == std::errc::result_out_of_range) f = static_cast<float>(value);
    number = f;
    return kTokenFloat;
}

bool ParseConfigNumber(std::string_view word, float& number)
{
    int32_t i = 0;
    switch (ClassifyConfigWord(word, i, number)) {
    case kTokenInteger:
        number = static_cast<float>(i);
        return true;
    case kTokenFloat:
        return true;
    default:
        return false;
    }
}

void AppendConfigFloat(std::string& out, float value)
{
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (r.ec == std::errc()) {
        float back = 0;
        const auto parsed = std::from_chars(buffer, r.ptr, back);
        if (parsed.ec == std::errc() && std::memcmp(&back, &value, sizeof value) == 0) {
            out.append(buffer, r.ptr);
            return;
        }
    }
    r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

std::string FormatConfigFloat(float value)
{
    std::string out;
    AppendConfigFloat(out, value);
    return out;
}

void AppendConfigInteger(std::string& out, int32_t value)
{
    char buffer[16];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

}  // namespace mc
