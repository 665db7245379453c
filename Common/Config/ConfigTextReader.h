// The grammar of config texts over the preprocessor's tokens.
#pragma once

#include <memory>
#include <string>

namespace mc {

class TCppParser;
class TRArray;
class TRClass;
class TRData;
class TResources;

class TConfigTextReader {
public:
    TConfigTextReader(TResources& document, TCppParser& parser) : doc_(document), p_(parser) {}

    // Parses the whole text into the document's root class. Raises
    // EConfigSyntax for the first error (EParserError from the preprocessor).
    void Read();

    static constexpr int kMaxNesting = 256;

private:
    uint8_t Next();
    uint8_t NextOnLine();
    void ParseMember(TRClass& owner, bool root, int depth);
    void ParseClass(TRClass& owner, int depth);
    void ParseClassBody(TRClass& cls, int depth);
    void ParseField(TRClass& owner, bool root);
    void ParseEnum();
    std::unique_ptr<TRData> ParseValue();
    std::unique_ptr<TRArray> ParseArray(int depth);
    [[noreturn]] void Fail(const std::string& message);
    void Warn(const std::string& message);

    TResources& doc_;
    TCppParser& p_;
};

// Formats a message of the config text reader with the preprocessor's
// current position.
std::string DescribeConfigTextMessage(const TCppParser& parser, const std::string& message);

}  // namespace mc
