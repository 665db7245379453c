// The preprocessor of config texts: comments, continued lines, #include,
// #define (object- and function-like), #undef, #ifdef, #ifndef, #else,
// #endif, and the tokenizer the config parser pulls tokens from.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Config/AbstractParser.h"
#include "Config/ConfigNumbers.h"

namespace mc {

class TStream;

// Parameters and expansion template of a function-like macro.
struct TMacros {
    std::vector<std::string> ParamNames;
    // Parameter index of each occurrence in the body, in body order.
    std::vector<int> Occurrences;
    // The body with "%s" for each occurrence and "%%" for a percent sign.
    std::string Template;
    // The body cut at the occurrences: Occurrences.size() + 1 literal pieces.
    std::vector<std::string> Pieces;
};

// Saved state of the file an #include interrupted, with the included text.
struct TIncludeFile {
    std::string Name;    // as written in the directive
    std::string Folder;  // folder of the included file, for its own includes
    std::vector<uint8_t> Text;
    size_t OuterPosition = 0;  // where the including text goes on
    int32_t OuterLineNumber = 0;
};

class TCppParser : public TAbstractParser {
public:
    // Condition states.
    enum : uint8_t { kNoCondition = 0, kIfHeld = 1, kIfFailed = 2, kElseActive = 3, kElseInactive = 4 };

    // Reads the stream's bytes in place when it is in memory, else copies it.
    explicit TCppParser(TStream& stream);
    TCppParser(const void* text, size_t size);
    ~TCppParser() override;
    TCppParser(const TCppParser&) = delete;
    TCppParser& operator=(const TCppParser&) = delete;

    bool IncludesAllowed = false;
    // Folder of the text being read; relative includes are looked for there
    // first, then in IncludeFolders, then in the current directory.
    std::string SourceFolder;
    std::vector<std::string> IncludeFolders;
    bool IdentifierMode = true;

    // Reads the next logical line of an active branch; false when the text
    // ended while reading it. Called once before the first NextToken.
    bool ReadLine();
    uint8_t NextToken(bool skipLineEnds);
    // NextToken, and an error at the end of the text while a condition is open.
    uint8_t NextTokenAtEnd(bool skipLineEnds);
    // The raw characters after the cursor up to the next occurrence of
    // close, which is consumed; an error when the line ends first.
    std::string ReadRawUntil(char close);

    uint8_t TokenKind() const { return tokenKind_; }
    // The value of an integer or floating-point token.
    int32_t TokenInteger() const { return tokenInteger_; }
    float TokenFloat() const { return tokenFloat_; }
    const std::string& TokenText() const { return tokenText_; }
    bool TokenQuoted() const { return tokenQuoted_; }
    int32_t LineNumber() const { return lineNumber_; }
    // 1-based column of the current token, 1 before the first one.
    int Position() const { return tokenRead_ ? static_cast<int>(tokenStart_) + 1 : 1; }
    // The current logical line without the end marker.
    std::string_view Line() const;
    // What the consumer has not read yet of the current line.
    std::string_view RestOfLine() const;
    bool AtTextEnd() const { return textEnded_; }
    bool IncludeOpen() const { return !includes_.empty(); }
    std::string IncludeName() const { return includes_.empty() ? std::string() : includes_.back().Name; }
    const std::string& LastMessage() const { return lastMessage_; }
    bool IsDefined(std::string_view name) const { return defines_.find(name) != defines_.end(); }

    void Warning(const std::string& message) override;
    [[noreturn]] void Error(const std::string& message) override;

    static constexpr int kMaxIncludeDepth = 32;
    static constexpr int kMaxMacroNesting = 64;

private:
    struct TDefine {
        std::string Body;
        std::unique_ptr<TMacros> Macro;  // function-like only
    };

    bool ReadPhysicalLine();
    void SkipBlockComment();
    void CloseInclude();
    bool ProcessDirective();
    void DirectiveInclude();
    void DirectiveDefine();
    std::string ReadDefineName();
    void ExpandLine(size_t from);
    std::string ExpandName(const TDefine& define, int depth);
    std::string Describe(const std::string& message, bool withFile) const;
    size_t LineEnd() const;
    void Init();
    void NoteDefine(std::string_view name);
    void RebuildDefineChars();
    bool MayBeDefined(char first) const
    {
        const auto u = static_cast<unsigned char>(first);
        return (defineFirstChars_[u >> 3] >> (u & 7)) & 1;
    }
    uint8_t BranchState() const { return conditions_.empty() ? static_cast<uint8_t>(kNoCondition) : conditions_.back().second; }
    bool BranchActive() const
    {
        const uint8_t s = BranchState();
        return s != kIfFailed && s != kElseInactive;
    }

    // The text being read: the main text or the innermost include.
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    const uint8_t* mainData_ = nullptr;
    size_t mainSize_ = 0;
    std::vector<uint8_t> ownedText_;
    std::vector<TIncludeFile> includes_;  // innermost last

    int32_t lineNumber_ = 0;
    std::string line_;
    size_t cursor_ = 0;
    size_t tokenStart_ = 0;
    bool tokenRead_ = false;
    uint8_t tokenKind_ = kTokenTextEnd;
    std::string tokenText_;
    bool tokenQuoted_ = false;
    int32_t tokenInteger_ = 0;
    float tokenFloat_ = 0;
    bool textEnded_ = false;

    bool inDefine_ = false;
    bool readingArguments_ = false;  // "(" and ")" end words
    bool quietStrings_ = false;      // no log line for an open string
    std::string lastMessage_;
    size_t expansionBudget_ = 0;

    std::map<std::string, TDefine, std::less<>> defines_;
    uint8_t defineFirstChars_[32] = {};  // bit set of the first bytes of defined names
    std::vector<std::pair<std::string, uint8_t>> conditions_;
};

}  // namespace mc
