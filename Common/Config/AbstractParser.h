// Base of the text readers of configs and string tables: positioned
// warnings and errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mc {

class TStream;

// Raised by a parser's Error; carries the formatted message.
class EParserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAbstractParser {
public:
    virtual ~TAbstractParser() = default;
    // Reports the message with the current position and goes on.
    virtual void Warning(const std::string& message) = 0;
    // Reports the message with the current position and raises EParserError.
    [[noreturn]] virtual void Error(const std::string& message) = 0;
};

// Characters 1 to 32 except the end marker: what the tokenizers skip and
// what trimming removes.
inline bool IsBlankChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32 && u != 0x1A;
}

// The text without the blank characters at both ends.
std::string TrimBlanks(std::string_view s);

// The text a parser reads: a memory stream's bytes are used in place, any
// other stream's remaining bytes are copied into `owned`.
void TakeParserText(TStream& stream, std::vector<uint8_t>& owned, const uint8_t*& data, size_t& size);

}  // namespace mc
