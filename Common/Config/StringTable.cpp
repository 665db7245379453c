#include "Config/StringTable.h"

#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

constexpr char kEndMarker = '\x1A';

}  // namespace

TStringTableParser::TStringTableParser(TStream& stream)
{
    TakeParserText(stream, ownedText_, data_, size_);
}

TStringTableParser::TStringTableParser(const void* text, size_t size)
    : data_(static_cast<const uint8_t*>(text)), size_(size)
{
}

bool TStringTableParser::ReadLine()
{
    ++lineNumber_;
    line_.clear();
    cursor_ = tokenStart_ = 0;
    if (ended_) {
        line_ += kEndMarker;
        return false;
    }
    const size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
    line_.assign(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    if (pos_ >= size_) {
        line_ += kEndMarker;
        ended_ = true;
        return false;
    }
    if (data_[pos_++] == '\r' && pos_ < size_ && data_[pos_] == '\n') ++pos_;
    return true;
}

void TStringTableParser::SkipRestOfLine()
{
    cursor_ = line_.size();
    if (!line_.empty() && line_.back() == kEndMarker && ended_) cursor_ = line_.size() - 1;
}

uint8_t TStringTableParser::NextToken(bool skipLineEnds)
{
    tokenText_.clear();
    for (;;) {
        while (cursor_ < line_.size() && IsBlankChar(line_[cursor_])) ++cursor_;
        if (cursor_ < line_.size() || !skipLineEnds) break;
        ReadLine();
    }
    tokenStart_ = cursor_;
    tokenRead_ = true;
    if (cursor_ >= line_.size()) return tokenKind_ = kLineEnd;
    const char c = line_[cursor_];
    if (c == kEndMarker) return tokenKind_ = kTextEnd;
    if (c == ',') {
        ++cursor_;
        return tokenKind_ = kComma;
    }
    if (c == '"') {
        ++cursor_;
        for (;;) {
            size_t q = line_.find('"', cursor_);
            if (q == std::string::npos) {
                // The line ends the text; the end marker stays for the next token.
                size_t end = line_.size();
                if (ended_ && end > cursor_ && line_[end - 1] == kEndMarker) --end;
                tokenText_.append(line_, cursor_, end - cursor_);
                cursor_ = end;
                break;
            }
            tokenText_.append(line_, cursor_, q - cursor_);
            if (q + 1 < line_.size() && line_[q + 1] == '"') {
                tokenText_ += '"';
                cursor_ = q + 2;
                continue;
            }
            cursor_ = q + 1;
            break;
        }
        return tokenKind_ = kCell;
    }
    size_t j = cursor_;
    while (j < line_.size() && line_[j] != ',' && line_[j] != kEndMarker) ++j;
    size_t e = j;
    while (e > cursor_ && IsBlankChar(line_[e - 1])) --e;
    tokenText_.assign(line_, cursor_, e - cursor_);
    cursor_ = j;
    return tokenKind_ = kCell;
}

std::string TStringTableParser::Describe(const std::string& message) const
{
    std::string line = line_;
    if (!line.empty() && line.back() == kEndMarker) line.pop_back();
    return Format("%s, line: %d, pos: %d, source line:\r%s", message.c_str(), lineNumber_, Position(), line.c_str());
}

void TStringTableParser::Warning(const std::string& message) { AddLog(Describe(message)); }

void TStringTableParser::Error(const std::string& message)
{
    lastMessage_ = message;
    throw EParserError(Describe(message));
}

// ---------------------------------------------------------------- table

int TStringTable::FindRow(std::string_view key) const
{
    const auto it = keyIndex_.find(UpperCase(key));
    return it == keyIndex_.end() ? -1 : it->second;
}

const std::string* TStringTable::Find(std::string_view key, std::string_view language) const
{
    const int row = FindRow(key);
    if (row < 0) return nullptr;
    for (size_t i = 0; i < Languages.size(); ++i) {
        if (!SameText(Languages[i], language)) continue;
        const auto& cells = Rows[static_cast<size_t>(row)].Cells;
        return i < cells.size() ? &cells[i] : nullptr;
    }
    return nullptr;
}

void TStringTable::Parse(TStringTableParser& p)
{
    p.ReadLine();
    for (;;) {
        if (p.NextToken(true) == TStringTableParser::kTextEnd) return;
        const std::string key = p.TokenText();
        // Real tables write "Language" too, which the game takes as the header.
        if (SameText(key, "COMMENT")) {
            p.SkipRestOfLine();
            continue;
        }
        uint8_t k = p.NextToken(false);
        const std::string upper = UpperCase(key);
        int row;
        if (const auto it = keyIndex_.find(upper); it != keyIndex_.end()) {
            row = it->second;
            Rows[static_cast<size_t>(row)].Cells.clear();
        } else {
            row = static_cast<int>(Rows.size());
            keyIndex_.emplace(upper, row);
            Rows.push_back({key, {}});
        }
        std::vector<std::string>& cells = Rows[static_cast<size_t>(row)].Cells;
        while (k != TStringTableParser::kLineEnd && k != TStringTableParser::kTextEnd) {
            const uint8_t t = p.NextToken(false);
            if (t == TStringTableParser::kCell) {
                cells.push_back(p.TokenText());
                k = p.NextToken(false);
            } else if (t == TStringTableParser::kComma) {
                cells.emplace_back();
                k = t;
            } else {
                // The line ended behind a comma.
                if (k == TStringTableParser::kComma) cells.emplace_back();
                break;
            }
        }
        if (upper == "LANGUAGE") {
            Languages = std::move(cells);
            keyIndex_.erase(upper);
            Rows.erase(Rows.begin() + row);
            if (row < static_cast<int>(Rows.size()))
                for (auto& entry : keyIndex_)
                    if (entry.second > row) --entry.second;
        }
    }
}

std::unique_ptr<TStringTable> LoadStringTable(const std::string& name, TStream& stream)
{
    auto table = std::make_unique<TStringTable>();
    try {
        TStringTableParser parser(stream);
        table->Parse(parser);
    } catch (const EParserError& e) {
        AddLog(Format("String table \"%s\" not loaded: %s", name.c_str(), e.what()));
        return nullptr;
    }
    return table;
}

std::unique_ptr<TStringTable> LoadStringTableFromFile(const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes)) return nullptr;
    TMemoryReader stream(bytes.data(), bytes.size());
    return LoadStringTable(fileName, stream);
}

}  // namespace mc
