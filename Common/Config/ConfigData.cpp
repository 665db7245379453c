#include "Config/ConfigData.h"

#include <charconv>
#include <cmath>

#include "Config/ConfigNumbers.h"
#include "Config/Resources.h"
#include "Core/Strings.h"

namespace mc {

void TRString::AppendText(std::string& out) const
{
    if (EnumIndex >= 0) {
        out += Text;
        return;
    }
    out += '"';
    size_t start = 0;
    for (size_t q = Text.find('"'); q != std::string::npos; q = Text.find('"', q + 1)) {
        out.append(Text, start, q + 1 - start);
        out += '"';
        start = q + 1;
    }
    out.append(Text, start, std::string::npos);
    out += '"';
}

int32_t TRString::AsInteger() const
{
    int32_t i = 0;
    float f = 0;
    if (ClassifyConfigWord(Text, i, f) != kTokenInteger)
        throw EConvertError(Format("\"%s\" is not a valid integer value", Text.c_str()));
    return i;
}

float TRString::AsFloat() const
{
    float f = 0;
    if (!ParseConfigNumber(Text, f))
        throw EConvertError(Format("\"%s\" is not a valid floating point value", Text.c_str()));
    return f;
}

void TRString::ResolveEnum(const TResources& document)
{
    if (EnumIndex == kNeverEnum) return;
    EnumIndex = document.FindEnum(Text);
}

void TRNumber::AppendText(std::string& out) const { AppendConfigFloat(out, Value); }

int32_t TRNumber::AsInteger() const
{
    // Halves go to the even neighbour, as the default rounding mode does.
    const double r = std::nearbyint(static_cast<double>(Value));
    if (std::isnan(r)) return 0;
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}

void TRInteger::AppendText(std::string& out) const { AppendConfigInteger(out, Value); }

void TRArray::AppendText(std::string& out) const
{
    out += '{';
    for (size_t i = 0; i < Elements.size(); ++i) {
        if (i) out += ',';
        Elements[i]->AppendText(out);
    }
    out += '}';
}

std::unique_ptr<TRData> NewConfigValue(uint8_t typeCode)
{
    switch (typeCode) {
    case kTypeString:
        return std::make_unique<TRString>();
    case kTypeFloat:
        return std::make_unique<TRNumber>();
    case kTypeInteger:
        return std::make_unique<TRInteger>();
    case kTypeArray:
        return std::make_unique<TRArray>();
    default:
        return nullptr;
    }
}

}  // namespace mc
