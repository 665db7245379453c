#include "Config/AbstractParser.h"

#include "Core/Stream.h"
#include "Core/StreamIO.h"

namespace mc {

std::string TrimBlanks(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlankChar(s[b])) ++b;
    while (e > b && IsBlankChar(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

void TakeParserText(TStream& stream, std::vector<uint8_t>& owned, const uint8_t*& data, size_t& size)
{
    size_t available = 0;
    if (const uint8_t* view = stream.View(available)) {
        data = view;
        size = available;
        return;
    }
    owned.resize(static_cast<size_t>(stream.Remaining()));
    if (!owned.empty()) ReadBuffer(stream, owned.data(), owned.size());
    data = owned.data();
    size = owned.size();
}

}  // namespace mc
