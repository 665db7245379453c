#include "Config/ConfigTextReader.h"

#include <cmath>
#include <stdexcept>

#include "Config/ConfigClass.h"
#include "Config/ConfigData.h"
#include "Config/CppParser.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

namespace {

// The first error of a text load, already formatted.
class EConfigSyntax : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace

std::string DescribeConfigTextMessage(const TCppParser& parser, const std::string& message)
{
    const std::string line = TrimBlanks(parser.Line());
    if (parser.IncludeOpen())
        return Format("[Cpp Loaded] %s\r\nfile: \"%s\", line: %d, pos: %d, source line:\r\n\r\n%s<eol>\r\n",
                      message.c_str(), parser.IncludeName().c_str(), parser.LineNumber(), parser.Position(),
                      line.c_str());
    return Format("[Cpp Loaded] %s\r\nline: %d, pos: %d, source line:\r\n\r\n%s<eol>\r\n", message.c_str(),
                  parser.LineNumber(), parser.Position(), line.c_str());
}

void TConfigTextReader::Fail(const std::string& message) { throw EConfigSyntax(message); }

void TConfigTextReader::Warn(const std::string& message) { AddLog(DescribeConfigTextMessage(p_, message)); }

uint8_t TConfigTextReader::Next() { return p_.NextTokenAtEnd(true); }
uint8_t TConfigTextReader::NextOnLine() { return p_.NextTokenAtEnd(false); }

std::string TConfigTextReader::Read()
{
    try {
        p_.IdentifierMode = true;
        p_.ReadLine();
        Next();
        TRClass& root = doc_.Root();
        while (p_.TokenKind() == kTokenIdentifier) ParseMember(root, true, 0);
        if (p_.TokenKind() != kTokenTextEnd) Fail("\"class\", field name or end of file expected");
        // Released add-ons end their config inside the last class; the game
        // closes what is open, and so does this reader.
        if (!unclosedClass_.empty())
            Warn(Format("class \"%s\" begun at line %d is not closed at the end of the text",
                        unclosedClass_.c_str(), unclosedLine_));
    } catch (const EConfigSyntax& e) {
        return DescribeConfigTextMessage(p_, e.what());
    } catch (const EParserError&) {
        return DescribeConfigTextMessage(p_, p_.LastMessage());
    }
    return {};
}

void TConfigTextReader::ParseMember(TRClass& owner, bool root, int depth)
{
    const std::string& word = p_.TokenText();
    if (word == "class")
        ParseClass(owner, depth);
    else if (root && word == "enum")
        ParseEnum();
    else
        ParseField(owner, root);
}

void TConfigTextReader::ParseClass(TRClass& owner, int depth)
{
    if (depth >= kMaxNesting) Fail(Format("classes nested deeper than %d", kMaxNesting));
    if (Next() != kTokenIdentifier) Fail("class name expected");
    const int line = p_.LineNumber();
    auto* cls = static_cast<TRClass*>(owner.AddMember(std::make_unique<TRClass>(p_.TokenText())));
    const uint8_t k = Next();
    if (k == ':') {
        if (Next() != kTokenIdentifier) Fail("parent class name expected");
        TRClass* base = owner.FindClass(LowerCase(p_.TokenText()));
        if (!base) Fail(Format("parent class \"%s\" not found", p_.TokenText().c_str()));
        // The class is known by its name already: a base that resolves to
        // it would make every inherited lookup go round for ever.
        if (base == cls) Fail(Format("class \"%s\" cannot inherit from itself", cls->Name.c_str()));
        cls->Base = base;
        if (Next() != '{') Fail("\"{\" expected");
    } else if (k != '{') {
        Fail("\":\" or \"{\" expected");
    }
    ParseClassBody(*cls, depth + 1, line);
}

void TConfigTextReader::ParseClassBody(TRClass& cls, int depth, int line)
{
    if (p_.TokenKind() != '{') Fail("internal error: \"{\" expected");
    Next();
    while (p_.TokenKind() == kTokenIdentifier) ParseMember(cls, false, depth);
    if (p_.TokenKind() == kTokenTextEnd) {
        // The first class to meet the end is the innermost one.
        if (unclosedClass_.empty()) {
            unclosedClass_ = cls.Name;
            unclosedLine_ = line;
        }
        return;
    }
    if (p_.TokenKind() != '}') Fail("\"}\", \"class\" or field name expected");
    if (Next() == ';' && Next() == ';') {
        Warn("waste char \";\"");
        while (Next() == ';') {
        }
    }
}

void TConfigTextReader::ParseField(TRClass& owner, bool root)
{
    auto* field = static_cast<TRField*>(owner.AddMember(std::make_unique<TRField>(p_.TokenText())));
    uint8_t k = Next();
    bool array = false;
    if (k == '[') {
        if (Next() != ']') Fail("\"]\" expected");
        if (Next() != '=') Fail("\"=\" expected");
        array = true;
    } else if (k != '=') {
        Fail("\"=\" or \"[\" expected");
    }
    p_.IdentifierMode = false;
    Next();
    if (array)
        field->Value = ParseArray(0);
    else
        field->Value = ParseValue();
    p_.IdentifierMode = true;
    k = p_.TokenKind();
    if (root) {
        if (k != kTokenLineEnd && k != ';' && k != kTokenTextEnd) Fail("\";\", end of line or end of file expected");
    } else if (k != kTokenLineEnd && k != ';') {
        Fail("\";\" or end of line expected");
    }
    Next();
}

void TConfigTextReader::ParseEnum()
{
    uint8_t k = Next();
    if (k == kTokenIdentifier) {
        if (Next() != '{') Fail("\"{\" expected");
    } else if (k != '{') {
        Fail("\"{\" or enum name expected");
    }
    k = Next();
    int32_t counter = 0;
    while (k == kTokenIdentifier || k == ',') {
        if (k == ',') {
            // A member without a name, as decompiled configs write them:
            // it takes its number and nothing else.
            Warn("enumeration member without a name");
            ++counter;
            k = Next();
            continue;
        }
        if (!doc_.AddEnum(p_.TokenText(), counter))
            Fail(Format("enumeration member \"%s\" already defined", p_.TokenText().c_str()));
        ++counter;
        k = Next();
        if (k == ',') {
            k = Next();
            if (k == '}') Warn("comma before closed brace");
        } else if (k != '}') {
            break;
        }
    }
    if (k != '}') Fail("\"}\" or enum member name expected");
    if (Next() == ';') Next();
}

std::unique_ptr<TRData> TConfigTextReader::ParseValue()
{
    std::unique_ptr<TRData> value;
    switch (p_.TokenKind()) {
    case kTokenLineEnd:
    case kTokenTextEnd:
    case ',':
    case ';':
    case '}':
        return std::make_unique<TRString>();
    case '{': {
        std::string text = p_.ReadRawUntil('}');
        Warn("string in braces");
        value = std::make_unique<TRString>(std::move(text), TRString::kNeverEnum);
        break;
    }
    case kTokenString: {
        const std::string& text = p_.TokenText();
        float db = 0;
        if (p_.TokenQuoted()) {
            value = std::make_unique<TRString>(text, TRString::kNeverEnum);
        } else if (text.size() >= 3 && text[0] == 'd' && text[1] == 'b' &&
                   ParseConfigNumber(std::string_view(text).substr(2), db) &&
                   std::isfinite(static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0)))) {
            // Decibels: the factor they stand for.
            value = std::make_unique<TRNumber>(static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0)));
        } else {
            auto s = std::make_unique<TRString>(text);
            doc_.ResolveEnum(*s);
            value = std::move(s);
        }
        break;
    }
    case kTokenInteger:
        value = std::make_unique<TRInteger>(p_.TokenInteger());
        break;
    case kTokenFloat:
        value = std::make_unique<TRNumber>(p_.TokenFloat());
        break;
    default:
        Fail("integer, float or string value expected");
    }
    NextOnLine();
    return value;
}

std::unique_ptr<TRArray> TConfigTextReader::ParseArray(int depth)
{
    if (depth >= kMaxNesting) Fail(Format("arrays nested deeper than %d", kMaxNesting));
    if (p_.TokenKind() != '{') Fail("\"{\" expected");
    Next();
    auto array = std::make_unique<TRArray>();
    if (p_.TokenKind() == '}') {
        NextOnLine();
        return array;
    }
    for (;;) {
        if (p_.TokenKind() == '{')
            array->Add(ParseArray(depth + 1));
        else
            array->Add(ParseValue());
        if (p_.TokenKind() == kTokenLineEnd) Next();
        if (p_.TokenKind() != ',') break;
        Next();
    }
    if (p_.TokenKind() != '}') Fail("\"}\" or \",\" expected");
    NextOnLine();
    return array;
}

}  // namespace mc
