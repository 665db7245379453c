#include "Config/CppParser.h"

#include <algorithm>

#include "Config/IncludeFiles.h"
#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

constexpr char kEndMarker = '\x1A';
constexpr size_t kMinExpansionBudget = size_t(64) << 20;

bool IsIdentChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

TCppParser::TCppParser(TStream& stream)
{
    TakeParserText(stream, ownedText_, data_, size_);
    Init();
}

TCppParser::TCppParser(const void* text, size_t size)
{
    data_ = static_cast<const uint8_t*>(text);
    size_ = size;
    Init();
}

void TCppParser::Init()
{
    mainData_ = data_;
    mainSize_ = size_;
    expansionBudget_ = std::max(kMinExpansionBudget, size_ * 4);
}

TCppParser::~TCppParser() = default;

std::string_view TCppParser::Line() const { return std::string_view(line_).substr(0, LineEnd()); }

std::string_view TCppParser::RestOfLine() const
{
    const size_t end = LineEnd();
    return cursor_ < end ? std::string_view(line_).substr(cursor_, end - cursor_) : std::string_view();
}

size_t TCppParser::LineEnd() const
{
    if (textEnded_ && !line_.empty() && line_.back() == kEndMarker) return line_.size() - 1;
    return line_.size();
}

// ---------------------------------------------------------------- reading

bool TCppParser::ReadPhysicalLine()
{
    ++lineNumber_;
    for (;;) {
        if (pos_ >= size_) {
            if (!includes_.empty()) {
                // The end of an included text ends the line by itself: it
                // takes no line feed from the including text.
                CloseInclude();
                return true;
            }
            line_ += kEndMarker;
            textEnded_ = true;
            return false;
        }
        const uint8_t* p = data_ + pos_;
        const uint8_t* end = data_ + size_;
        const uint8_t* q = p;
        while (q < end) {
            const uint8_t c = *q;
            if (c == '\n' || c == '\r' || c == '/' || c == 0) break;
            ++q;
        }
        line_.append(reinterpret_cast<const char*>(p), static_cast<size_t>(q - p));
        pos_ = static_cast<size_t>(q - data_);
        if (q == end) continue;
        const uint8_t c = *q;
        ++pos_;
        if (c == '\n') return true;
        if (c == '\r') {
            if (pos_ < size_ && data_[pos_] == '\n') ++pos_;
            return true;
        }
        if (c == 0) {
            // A text holds no NUL: it would cut names and strings short.
            line_ += ' ';
            continue;
        }
        if (pos_ < size_ && data_[pos_] == '*') {
            ++pos_;
            SkipBlockComment();
            continue;
        }
        if (pos_ < size_ && data_[pos_] == '/') {
            while (pos_ < size_ && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
            if (pos_ < size_) {
                if (data_[pos_++] == '\r' && pos_ < size_ && data_[pos_] == '\n') ++pos_;
                return true;
            }
            continue;
        }
        line_ += '/';
    }
}

void TCppParser::SkipBlockComment()
{
    while (pos_ < size_) {
        const uint8_t c = data_[pos_++];
        if (c == '*') {
            if (pos_ < size_ && data_[pos_] == '/') {
                ++pos_;
                return;
            }
        } else if (c == '\n') {
            ++lineNumber_;
        } else if (c == '\r') {
            ++lineNumber_;
            if (pos_ < size_ && data_[pos_] == '\n') ++pos_;
        }
    }
    Error("unterminated comment block");
}

void TCppParser::CloseInclude()
{
    const TIncludeFile& inc = includes_.back();
    pos_ = inc.OuterPosition;
    lineNumber_ = inc.OuterLineNumber;
    includes_.pop_back();
    if (includes_.empty()) {
        data_ = mainData_;
        size_ = mainSize_;
    } else {
        data_ = includes_.back().Text.data();
        size_ = includes_.back().Text.size();
    }
}

bool TCppParser::ReadLine()
{
    for (;;) {
        line_.clear();
        cursor_ = 0;
        tokenStart_ = 0;
        tokenRead_ = false;
        tokenText_.clear();
        tokenQuoted_ = false;
        tokenKind_ = kTokenLineEnd;
        if (textEnded_) {
            line_ += kEndMarker;
            return false;
        }
        bool more = ReadPhysicalLine();
        while (more && !line_.empty() && line_.back() == '\\') {
            line_.pop_back();
            more = ReadPhysicalLine();
        }
        if (!more && line_.size() >= 2 && line_[line_.size() - 2] == '\\') line_.erase(line_.size() - 2, 1);

        bool directive = false;
        if (line_.find('#') != std::string::npos) directive = ProcessDirective();
        if (!BranchActive()) {
            if (textEnded_) {
                // The text ended inside an inactive branch: only its end is seen.
                line_.assign(1, kEndMarker);
                cursor_ = 0;
                tokenRead_ = false;
                return false;
            }
            continue;
        }
        if (!directive) {
            cursor_ = 0;
            ExpandLine(0);
        }
        return !textEnded_;
    }
}

// ---------------------------------------------------------------- tokens

uint8_t TCppParser::NextToken(bool skipLineEnds)
{
    tokenText_.clear();
    tokenQuoted_ = false;
    for (;;) {
        const size_t n = line_.size();
        while (cursor_ < n && IsBlankChar(line_[cursor_])) ++cursor_;
        if (cursor_ < n) break;
        if (!skipLineEnds) {
            tokenStart_ = cursor_;
            tokenRead_ = true;
            return tokenKind_ = kTokenLineEnd;
        }
        ReadLine();
    }
    tokenStart_ = cursor_;
    tokenRead_ = true;
    const char c = line_[cursor_];
    if (c == kEndMarker) return tokenKind_ = kTokenTextEnd;

    if (c == '"') {
        const size_t end = LineEnd();
        ++cursor_;
        for (;;) {
            const size_t q = cursor_ < end ? line_.find('"', cursor_) : std::string::npos;
            if (q == std::string::npos || q >= end) {
                if (cursor_ < end) tokenText_.append(line_, cursor_, end - cursor_);
                cursor_ = std::max(cursor_, end);
                if (!quietStrings_) AddLog("unterminated string (double quotes expected)");
                break;
            }
            tokenText_.append(line_, cursor_, q - cursor_);
            if (q + 1 < end && line_[q + 1] == '"') {
                tokenText_ += '"';
                cursor_ = q + 2;
                continue;
            }
            cursor_ = q + 1;
            break;
        }
        tokenQuoted_ = true;
        return tokenKind_ = kTokenString;
    }

    switch (c) {
    case '(':
    case ')':
    case ',':
    case ':':
    case ';':
    case '=':
    case '[':
    case ']':
    case '{':
    case '}':
        ++cursor_;
        return tokenKind_ = static_cast<uint8_t>(c);
    default:
        break;
    }

    const size_t n = line_.size();
    if (IdentifierMode) {
        if (IsIdentChar(c)) {
            size_t j = cursor_ + 1;
            while (j < n && IsIdentChar(line_[j])) ++j;
            tokenText_.assign(line_, cursor_, j - cursor_);
            cursor_ = j;
            return tokenKind_ = kTokenIdentifier;
        }
        ++cursor_;
        return tokenKind_ = static_cast<uint8_t>(c);
    }

    // A value word: parentheses belong to it unless macro arguments are read.
    size_t j = cursor_;
    while (j < n) {
        const char d = line_[j];
        if (d == kEndMarker || d == '"' || d == ',' || d == ';' || d == '=' || d == '}') break;
        if (readingArguments_ && (d == '(' || d == ')')) break;
        ++j;
    }
    size_t e = j;
    while (e > cursor_ && IsBlankChar(line_[e - 1])) --e;
    tokenText_.assign(line_, cursor_, e - cursor_);
    cursor_ = j;
    return tokenKind_ = ClassifyConfigWord(tokenText_, tokenInteger_, tokenFloat_);
}

uint8_t TCppParser::NextTokenAtEnd(bool skipLineEnds)
{
    const uint8_t k = NextToken(skipLineEnds);
    if (k == kTokenTextEnd && !conditions_.empty())
        Error(Format("condition \"#ifdef/#ifndef %s\" is not closed by \"#endif\" directive",
                     conditions_.back().first.c_str()));
    return k;
}

std::string TCppParser::ReadRawUntil(char close)
{
    const size_t end = LineEnd();
    const size_t q = cursor_ < end ? line_.find(close, cursor_) : std::string::npos;
    if (q == std::string::npos || q >= end) Error(Format("unterminated string (\"%c\" expected)", close));
    std::string text = line_.substr(cursor_, q - cursor_);
    cursor_ = q + 1;
    return text;
}

// ---------------------------------------------------------------- directives

bool TCppParser::ProcessDirective()
{
    const bool savedMode = IdentifierMode;
    IdentifierMode = true;
    cursor_ = 0;
    quietStrings_ = true;
    uint8_t k = NextToken(false);
    quietStrings_ = false;
    if (k != '#') {
        IdentifierMode = savedMode;
        cursor_ = 0;
        tokenRead_ = false;
        tokenText_.clear();
        tokenQuoted_ = false;
        tokenKind_ = kTokenLineEnd;
        return false;
    }
    if (cursor_ >= line_.size() || line_[cursor_] < 'a' || line_[cursor_] > 'z') Error("directive expected");
    k = NextToken(false);
    if (k != kTokenIdentifier) Error("directive expected");
    const std::string directive = tokenText_;
    if (directive == "include") {
        DirectiveInclude();
    } else if (directive == "define") {
        DirectiveDefine();
    } else if (directive == "undef") {
        const std::string name = ReadDefineName();
        const auto it = defines_.find(name);
        if (it == defines_.end()) Error(Format("\"%s\" was not difined", name.c_str()));
        defines_.erase(it);
        RebuildDefineChars();
    } else if (directive == "ifdef" || directive == "ifndef") {
        const std::string name = ReadDefineName();
        const bool held = IsDefined(name) == (directive == "ifdef");
        conditions_.emplace_back(name, held ? kIfHeld : kIfFailed);
    } else if (directive == "else") {
        if (conditions_.empty()) Error("out of #ifdef/#ifndef");
        uint8_t& state = conditions_.back().second;
        if (state == kIfHeld)
            state = kElseInactive;
        else if (state == kIfFailed)
            state = kElseActive;
        else
            Error("directive #else already defined");
    } else if (directive == "endif") {
        if (conditions_.empty()) Error("out of #ifdef/#ifndef");
        conditions_.pop_back();
    } else {
        Error(Format("invalid preprocessor directive: %s", directive.c_str()));
    }
    IdentifierMode = savedMode;
    return true;
}

std::string TCppParser::ReadDefineName()
{
    const uint8_t k = NextToken(false);
    if (k != kTokenIdentifier && !(k == kTokenString && tokenQuoted_)) Error("define name expected");
    return tokenText_;
}

void TCppParser::DirectiveInclude()
{
    const uint8_t k = NextToken(false);
    if (k != kTokenString || !tokenQuoted_) Error("file name in doubled quotes expected");
    const std::string name = tokenText_;
    if (!IncludesAllowed) {
        Warning(Format("cannot open include file \"%s\"", name.c_str()));
        return;
    }
    if (includes_.size() >= static_cast<size_t>(kMaxIncludeDepth))
        Error(Format("include files nested deeper than %d at \"%s\" (does a file include itself?)", kMaxIncludeDepth,
                     name.c_str()));
    const std::string folder = includes_.empty() ? SourceFolder : includes_.back().Folder;
    const std::string path = FindIncludeFile(name, folder, IncludeFolders);
    std::vector<uint8_t> text;
    if (path.empty() || !ReadWholeFile(path, text)) Error(Format("cannot open include file \"%s\"", name.c_str()));

    TIncludeFile inc;
    inc.Name = name;
    inc.Folder = FolderOf(path);
    inc.Text = std::move(text);
    inc.OuterPosition = pos_;
    inc.OuterLineNumber = lineNumber_;
    includes_.push_back(std::move(inc));
    data_ = includes_.back().Text.data();
    size_ = includes_.back().Text.size();
    pos_ = 0;
    lineNumber_ = 0;
    if (textEnded_) {
        // The directive was on the last line: the text goes on in the include.
        if (!line_.empty() && line_.back() == kEndMarker) line_.pop_back();
        textEnded_ = false;
    }
}

void TCppParser::DirectiveDefine()
{
    const std::string name = ReadDefineName();
    if (const auto it = defines_.find(name); it != defines_.end()) {
        Warning(Format("define \"%s\" was already defined", name.c_str()));
        defines_.erase(it);
        RebuildDefineChars();
    }

    std::unique_ptr<TMacros> macro;
    if (cursor_ < LineEnd() && line_[cursor_] == '(') {
        macro = std::make_unique<TMacros>();
        NextToken(false);  // "("
        for (;;) {
            uint8_t k = NextToken(false);
            if (k == ')' && macro->ParamNames.empty()) break;
            if (k != kTokenIdentifier) Error("macros's argument expected");
            if (std::find(macro->ParamNames.begin(), macro->ParamNames.end(), tokenText_) != macro->ParamNames.end())
                Error(Format("macros's argument \"%s\" already defined", tokenText_.c_str()));
            macro->ParamNames.push_back(tokenText_);
            k = NextToken(false);
            if (k == ')') break;
            if (k != ',') Error("macros's argument expected");
        }
    }

    const size_t bodyStart = cursor_;
    inDefine_ = true;
    ExpandLine(bodyStart);
    inDefine_ = false;
    const size_t end = LineEnd();
    TDefine define;
    define.Body = TrimBlanks(std::string_view(line_).substr(std::min(bodyStart, end), end - std::min(bodyStart, end)));

    if (macro) {
        // Cut the body at the parameters; quoted strings stay as they are.
        const std::string& body = define.Body;
        std::string piece;
        for (size_t i = 0; i < body.size();) {
            const char c = body[i];
            if (c == '"') {
                size_t j = i + 1;
                while (j < body.size()) {
                    if (body[j] == '"') {
                        if (j + 1 < body.size() && body[j + 1] == '"') {
                            j += 2;
                            continue;
                        }
                        ++j;
                        break;
                    }
                    ++j;
                }
                piece.append(body, i, j - i);
                macro->Template.append(body, i, j - i);
                i = j;
            } else if (IsIdentChar(c)) {
                size_t j = i + 1;
                while (j < body.size() && IsIdentChar(body[j])) ++j;
                const std::string_view word = std::string_view(body).substr(i, j - i);
                const auto p = std::find(macro->ParamNames.begin(), macro->ParamNames.end(), word);
                if (p != macro->ParamNames.end()) {
                    macro->Occurrences.push_back(static_cast<int>(p - macro->ParamNames.begin()));
                    macro->Pieces.push_back(std::move(piece));
                    piece.clear();
                    macro->Template += "%s";
                } else {
                    piece += word;
                    macro->Template += word;
                }
                i = j;
            } else {
                piece += c;
                macro->Template += c;
                if (c == '%') macro->Template += '%';
                ++i;
            }
        }
        macro->Pieces.push_back(std::move(piece));
        define.Macro = std::move(macro);
    }

    NoteDefine(name);
    defines_.emplace(name, std::move(define));
    cursor_ = end;
}

void TCppParser::NoteDefine(std::string_view name)
{
    if (name.empty()) return;
    const auto u = static_cast<unsigned char>(name[0]);
    defineFirstChars_[u >> 3] |= static_cast<uint8_t>(1u << (u & 7));
}

void TCppParser::RebuildDefineChars()
{
    std::fill(std::begin(defineFirstChars_), std::end(defineFirstChars_), uint8_t(0));
    for (const auto& d : defines_) NoteDefine(d.first);
}

// ---------------------------------------------------------------- macros

void TCppParser::ExpandLine(size_t from)
{
    if (defines_.empty()) return;
    const bool savedMode = IdentifierMode;
    const size_t savedCursor = cursor_;
    IdentifierMode = true;
    quietStrings_ = true;
    cursor_ = from;
    std::string out;
    size_t copied = from;
    bool changed = false;
    for (;;) {
        const uint8_t k = NextToken(false);
        if (k == kTokenLineEnd || k == kTokenTextEnd) break;
        if (k != kTokenIdentifier || !MayBeDefined(tokenText_[0])) continue;
        const auto it = defines_.find(tokenText_);
        if (it == defines_.end()) continue;
        const size_t nameStart = tokenStart_;
        std::string expansion = ExpandName(it->second, 0);
        if (expansion.size() > expansionBudget_) Error("macro expansions too long");
        expansionBudget_ -= expansion.size();
        if (!changed) out.reserve(line_.size() + expansion.size());
        out.append(line_, copied, nameStart - copied);
        out += expansion;
        copied = cursor_;
        changed = true;
    }
    quietStrings_ = false;
    if (changed) {
        out.append(line_, copied, std::string::npos);
        line_.replace(from, std::string::npos, out);
    }
    cursor_ = savedCursor;
    IdentifierMode = savedMode;
}

std::string TCppParser::ExpandName(const TDefine& define, int depth)
{
    if (!define.Macro) return define.Body;
    if (depth >= kMaxMacroNesting) Error("macros nested too deeply");
    const TMacros& m = *define.Macro;

    std::vector<std::string> args;
    if (cursor_ < LineEnd() && line_[cursor_] == '(') {
        const bool savedMode = IdentifierMode, savedArguments = readingArguments_;
        IdentifierMode = false;
        readingArguments_ = true;
        NextToken(false);  // "("
        for (;;) {
            uint8_t k = NextToken(false);
            if (k == ')') break;
            if (k == kTokenLineEnd || k == kTokenTextEnd) Error("\",\", \")\" or macros's argument expected");
            if (args.size() == m.ParamNames.size()) Error("\")\" expected");
            if (!args.empty()) {
                if (k != ',') Error("\",\" or \")\" expected");
                k = NextToken(false);
                if (k == ')') break;
                if (k == kTokenLineEnd || k == kTokenTextEnd) Error("\",\", \")\" or macros's argument expected");
            }
            if (k != kTokenString && k != kTokenInteger && k != kTokenFloat) Error("macros's argument expected");
            const auto it = tokenQuoted_ ? defines_.end() : defines_.find(tokenText_);
            if (it != defines_.end()) {
                // Expanded arguments are held until the call is complete:
                // they count against the budget as they come, or a call of
                // many parameters could hold many copies of a long body.
                std::string arg = ExpandName(it->second, depth + 1);
                if (arg.size() > expansionBudget_) Error("macro expansions too long");
                expansionBudget_ -= arg.size();
                args.push_back(std::move(arg));
            } else if (tokenQuoted_) {
                args.push_back(line_.substr(tokenStart_, cursor_ - tokenStart_));
            } else {
                args.push_back(tokenText_);
            }
        }
        IdentifierMode = savedMode;
        readingArguments_ = savedArguments;
    }

    size_t total = 0;
    for (const std::string& p : m.Pieces) total += p.size();
    for (const int o : m.Occurrences)
        total += static_cast<size_t>(o) < args.size() ? args[static_cast<size_t>(o)].size() : m.ParamNames[static_cast<size_t>(o)].size();
    if (total > expansionBudget_) Error("macro expansions too long");

    std::string out;
    out.reserve(total);
    out += m.Pieces[0];
    for (size_t i = 0; i < m.Occurrences.size(); ++i) {
        const auto o = static_cast<size_t>(m.Occurrences[i]);
        out += o < args.size() ? args[o] : m.ParamNames[o];
        out += m.Pieces[i + 1];
    }
    if (!inDefine_) out.erase(std::remove(out.begin(), out.end(), '#'), out.end());
    return out;
}

// ---------------------------------------------------------------- messages

std::string TCppParser::Describe(const std::string& message, bool withFile) const
{
    const std::string line(Line());
    if (withFile && !includes_.empty())
        return Format("[Preprocessor] %s, file: \"%s\", line: %d, pos: %d, source line:\r\n%s<eol>\r\n",
                      message.c_str(), includes_.back().Name.c_str(), lineNumber_, Position(), line.c_str());
    return Format("[Preprocessor] %s, line: %d, pos: %d, source line:\r\n%s<eol>\r\n", message.c_str(), lineNumber_,
                  Position(), line.c_str());
}

void TCppParser::Warning(const std::string& message) { AddLog(Describe(message, false)); }

void TCppParser::Error(const std::string& message)
{
    lastMessage_ = message;
    const std::string text = Describe(message, true);
    AddLog(text);
    throw EParserError(text);
}

}  // namespace mc
