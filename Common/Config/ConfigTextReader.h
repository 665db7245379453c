// The grammar of config texts over the preprocessor's tokens.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mc {

class TCppParser;
class TRArray;
class TRClass;
class TRData;
class TRString;

// What a config text is read into: a document's root class and its
// enumeration table.
class IConfigTextTarget {
public:
    virtual TRClass& Root() = 0;
    // False when the name is defined already.
    virtual bool AddEnum(std::string name, int32_t value) = 0;
    // Gives an unquoted word the value of the enumeration member it names.
    virtual void ResolveEnum(TRString& word) = 0;

protected:
    ~IConfigTextTarget() = default;
};

class TConfigTextReader {
public:
    TConfigTextReader(IConfigTextTarget& target, TCppParser& parser) : doc_(target), p_(parser) {}

    // Parses the whole text into the target's root class. Returns the first
    // error, described with its position; empty when the text was read. A
    // text that ends inside open classes closes them, with one warning.
    std::string Read();

    static constexpr int kMaxNesting = 256;

private:
    uint8_t Next();
    uint8_t NextOnLine();
    void ParseMember(TRClass& owner, bool root, int depth);
    void ParseClass(TRClass& owner, int depth);
    void ParseClassBody(TRClass& cls, int depth, int line);
    void ParseField(TRClass& owner, bool root);
    void ParseEnum();
    std::unique_ptr<TRData> ParseValue();
    std::unique_ptr<TRArray> ParseArray(int depth);
    [[noreturn]] void Fail(const std::string& message);
    void Warn(const std::string& message);

    IConfigTextTarget& doc_;
    TCppParser& p_;
    // The innermost class still open when the text ended, and the line its
    // name stood on.
    std::string unclosedClass_;
    int unclosedLine_ = 0;
};

// Formats a message of the config text reader with the preprocessor's
// current position.
std::string DescribeConfigTextMessage(const TCppParser& parser, const std::string& message);

}  // namespace mc
