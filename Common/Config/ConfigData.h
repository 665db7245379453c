// Values of config fields: strings, floats, integers and arrays.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace mc {

class TResources;

// Raised by AsInteger/AsFloat of a string whose text is not such a number.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum : uint8_t { kTypeString = 0, kTypeFloat = 1, kTypeInteger = 2, kTypeArray = 3 };

class TRData {
public:
    virtual ~TRData() = default;

    // The value as written in a config text.
    std::string ToText() const
    {
        std::string out;
        AppendText(out);
        return out;
    }
    virtual void AppendText(std::string& out) const = 0;
    virtual std::string AsString() const { return {}; }
    virtual int32_t AsInteger() const { return 0; }
    virtual float AsFloat() const { return 0.0f; }
    virtual uint8_t TypeCode() const = 0;
    virtual void ResolveEnum(const TResources& document) {}
    virtual bool IsString() const { return false; }
    virtual bool IsFloat() const { return false; }
    virtual bool IsInteger() const { return false; }
    virtual bool IsArray() const { return false; }
};

class TRString : public TRData {
public:
    // Never matched against enumeration names.
    static constexpr int32_t kNeverEnum = -2;
    static constexpr int32_t kNotEnum = -1;

    TRString() = default;
    explicit TRString(std::string text) { SetText(std::move(text)); }
    TRString(std::string text, int32_t enumIndex) : Text(std::move(text)), EnumIndex(enumIndex) {}

    std::string Text;
    int32_t EnumIndex = kNeverEnum;

    // Sets the text; a non-empty text becomes matchable.
    void SetText(std::string text)
    {
        Text = std::move(text);
        EnumIndex = Text.empty() ? kNeverEnum : kNotEnum;
    }

    void AppendText(std::string& out) const override;
    std::string AsString() const override { return Text; }
    int32_t AsInteger() const override;
    float AsFloat() const override;
    uint8_t TypeCode() const override { return kTypeString; }
    void ResolveEnum(const TResources& document) override;
    bool IsString() const override { return true; }
};

class TRNumber : public TRData {
public:
    explicit TRNumber(float value = 0) : Value(value) {}
    float Value;

    void AppendText(std::string& out) const override;
    std::string AsString() const override { return ToText(); }
    int32_t AsInteger() const override;
    float AsFloat() const override { return Value; }
    uint8_t TypeCode() const override { return kTypeFloat; }
    bool IsFloat() const override { return true; }
};

class TRInteger : public TRData {
public:
    explicit TRInteger(int32_t value = 0) : Value(value) {}
    int32_t Value;

    void AppendText(std::string& out) const override;
    std::string AsString() const override { return ToText(); }
    int32_t AsInteger() const override { return Value; }
    float AsFloat() const override { return static_cast<float>(Value); }
    uint8_t TypeCode() const override { return kTypeInteger; }
    bool IsInteger() const override { return true; }
};

class TRArray : public TRData {
public:
    std::vector<std::unique_ptr<TRData>> Elements;

    void Add(std::unique_ptr<TRData> value) { Elements.push_back(std::move(value)); }
    int Count() const { return static_cast<int>(Elements.size()); }

    void AppendText(std::string& out) const override;
    uint8_t TypeCode() const override { return kTypeArray; }
    bool IsArray() const override { return true; }
};

// A new value of a type code (0 to 3); nullptr for any other code.
std::unique_ptr<TRData> NewConfigValue(uint8_t typeCode);

}  // namespace mc
