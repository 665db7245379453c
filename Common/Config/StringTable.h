// String tables (stringtable.csv): a header row naming the languages, then
// one row per text key with a cell per language.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Config/AbstractParser.h"

namespace mc {

class TStream;

// The tokenizer of string tables: cells separated by commas, quoted or not.
class TStringTableParser : public TAbstractParser {
public:
    // Token kinds.
    enum : uint8_t { kLineEnd = 0, kCell = 2, kTextEnd = 0x1A, kComma = ',' };

    explicit TStringTableParser(TStream& stream);
    TStringTableParser(const void* text, size_t size);

    // Reads the next physical line; false when the text ended in it.
    bool ReadLine();
    uint8_t NextToken(bool skipLineEnds);
    // Skips what is left of the current line.
    void SkipRestOfLine();

    uint8_t TokenKind() const { return tokenKind_; }
    const std::string& TokenText() const { return tokenText_; }
    int32_t LineNumber() const { return lineNumber_; }
    int Position() const { return tokenRead_ ? static_cast<int>(tokenStart_) + 1 : 1; }
    const std::string& Line() const { return line_; }
    const std::string& LastMessage() const { return lastMessage_; }

    void Warning(const std::string& message) override;
    [[noreturn]] void Error(const std::string& message) override;

private:
    std::string Describe(const std::string& message) const;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    std::vector<uint8_t> ownedText_;
    int32_t lineNumber_ = 0;
    std::string line_;
    size_t cursor_ = 0;
    size_t tokenStart_ = 0;
    bool tokenRead_ = false;
    bool ended_ = false;
    uint8_t tokenKind_ = kTextEnd;
    std::string tokenText_;
    std::string lastMessage_;
};

class TStringTable {
public:
    struct TRow {
        std::string Key;
        std::vector<std::string> Cells;
    };

    // The header row's cells; empty until one is read.
    std::vector<std::string> Languages;
    std::vector<TRow> Rows;

    int RowCount() const { return static_cast<int>(Rows.size()); }
    const std::string& Key(int row) const { return Rows.at(static_cast<size_t>(row)).Key; }
    const std::vector<std::string>& Cells(int row) const { return Rows.at(static_cast<size_t>(row)).Cells; }
    // Row of a key (any case), or -1.
    int FindRow(std::string_view key) const;
    // The cell of a key in a language (any case), or nullptr.
    const std::string* Find(std::string_view key, std::string_view language) const;

    // Parses a whole table; raises EParserError when the parser refuses it.
    void Parse(TStringTableParser& parser);

private:
    std::unordered_map<std::string, int> keyIndex_;  // upper-case key to row
};

// nullptr when the text cannot be read.
std::unique_ptr<TStringTable> LoadStringTable(const std::string& name, TStream& stream);
std::unique_ptr<TStringTable> LoadStringTableFromFile(const std::string& fileName);

}  // namespace mc
