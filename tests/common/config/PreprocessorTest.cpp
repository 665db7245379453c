#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ConfigTestSupport.h"
#include "Config/CppParser.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

// The error text a preprocessor run raises, "" when it raises none.
std::string PreprocessError(const std::string& text, std::string* last = nullptr)
{
    TCppParser p(text.data(), text.size());
    try {
        Preprocess(text, &p);
    } catch (const EParserError& e) {
        if (last) *last = p.LastMessage();
        return e.what();
    }
    return {};
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(Preprocessor, ObjectMacrosAndRedefinition)
{
    TRecordingServices services;
    EXPECT_EQ(Preprocess("#define A 1\n#define A 2\nx = A;\n"), "\n\nx = 2;\n\n");
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_NE(services.Log[0].find("[Preprocessor] define \"A\" was already defined, line: 2, pos: 9"),
              std::string::npos);
    // Names inside quotes stay, an expansion is not scanned again, and
    // names compare exactly.
    EXPECT_EQ(Preprocess("#define A B\n#define B x\ns = \"A\" A a;"), "\n\ns = \"A\" B a;\n");
    // A body after tabs, and one on the last line without a line break.
    EXPECT_EQ(Preprocess("#define T\t\t7\t\nv=T;\n#define L last"), "\nv=7;\n\n");
    // #undef forgets; a body uses the macros in force when it is defined.
    EXPECT_EQ(Preprocess("#define X 1\n#define Y X+1\n#undef X\n#define X 5\ny=Y X"), "\n\n\n\ny=1+1 5\n");
}

TEST(Preprocessor, FunctionMacros)
{
    // A missing argument expands to its parameter's name.
    EXPECT_EQ(Preprocess("#define F(a,b) a+b\nx = F(1);"), "\nx = 1+b;\n");
    EXPECT_EQ(Preprocess("#define F(a,b) a+b\nx = F(1 , two words);"), "\nx = 1+two words;\n");
    // Pasting and stringizing marks go away outside a body.
    EXPECT_EQ(Preprocess("#define CAT(a,b) a##b\nCAT(ab,cd)"), "\nabcd\n");
    EXPECT_EQ(Preprocess("#define S(a) #a\nS(x)"), "\nx\n");
    // A percent sign in the body, in and out of quotes, is kept as it is.
    EXPECT_EQ(Preprocess("#define P(a) a%\"%s\"\nP(5)"), "\n5%\"%s\"\n");
    // Without "(" the parameters expand to their names; "()" takes no argument.
    EXPECT_EQ(Preprocess("#define F(a) [a]\nF + F(q)"), "\n[a] + [q]\n");
    EXPECT_EQ(Preprocess("#define E() e\nE() E"), "\ne e\n");
    // An argument that is a macro is expanded first, with its own arguments.
    EXPECT_EQ(Preprocess("#define N 9\n#define G(a) <a>\n#define F(a,b) a/b\nF(N,G(1))"), "\n\n\n9/<1>\n");
    // Macros used in a body expand when it is defined, keeping "#" there.
    EXPECT_EQ(Preprocess("#define IN(n) class n##X {};\n#define OUT(m) IN(m) m\nOUT(Car)"), "\n\nclass CarX {}; Car\n");
    // Parentheses inside a value word do not end it; arguments end at them.
    EXPECT_EQ(Preprocess("#define qy 0.65\nh = 1 - (qy+0.04);"), "\nh = 1 - (0.65+0.04);\n");
}

TEST(Preprocessor, MacroErrors)
{
    std::string last;
    EXPECT_NE(PreprocessError("#define F(a) a\nF(1,2)", &last), "");
    EXPECT_EQ(last, "\")\" expected");
    PreprocessError("#define F(a,b) a\nF(1", &last);
    EXPECT_EQ(last, "\",\", \")\" or macros's argument expected");
    PreprocessError("#define F(a,b) a\nF(1 2 (", &last);
    EXPECT_EQ(last, "\",\" or \")\" expected");
    PreprocessError("#define F(a,b) a\nF(,2)", &last);
    EXPECT_EQ(last, "macros's argument expected");
    PreprocessError("#define F(a,a) a", &last);
    EXPECT_EQ(last, "macros's argument \"a\" already defined");
    PreprocessError("#define F(a b) a", &last);
    EXPECT_EQ(last, "macros's argument expected");
    PreprocessError("#define (x)", &last);
    EXPECT_EQ(last, "define name expected");
    PreprocessError("#undef Q", &last);
    EXPECT_EQ(last, "\"Q\" was not difined");
    // Deeply nested calls are refused instead of exhausting the stack.
    std::string deep = "#define F(a) a\n";
    for (int i = 0; i < 200; ++i) deep += "F(";
    PreprocessError(deep, &last);
    EXPECT_EQ(last, "macros nested too deeply");
    // Macros that double their size at each step stop with an error.
    std::string doubling = "#define A0 xxxxxxxxxxxxxxxx\n";
    for (int i = 1; i < 40; ++i) doubling += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    PreprocessError(doubling, &last);
    EXPECT_EQ(last, "macro expansions too long");
}

TEST(Preprocessor, LongMacroArgumentsCountAgainstTheLimit)
{
    // A20 is about 18 MB; the arguments of one call are held together, so
    // unused parameters must not let them pile up beyond the limit.
    std::string text = "#define A0 xxxxxxxxxxxxxxxx\n";
    for (int i = 1; i <= 20; ++i)
        text += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    text += "#define F(a,b,c) x\n";
    std::string last;
    EXPECT_EQ(PreprocessError(text + "v=F(A20);"), "");
    PreprocessError(text + "v=F(A20,A20,A20);", &last);
    EXPECT_EQ(last, "macro expansions too long");
}

TEST(Preprocessor, Conditions)
{
    EXPECT_EQ(Preprocess("#define A\n#ifdef A\nyes\n#else\nno\n#endif\n"), "\n\nyes\n\n\n");
    EXPECT_EQ(Preprocess("#ifndef A\nyes\n#else\nno\n#endif\nend"), "\nyes\n\nend\n");
    // Directives work inside an inactive branch: a #define there takes
    // effect and an #ifdef that holds makes the lines after it active.
    EXPECT_EQ(Preprocess("#ifdef NO\n#define D 4\n#ifndef NO\nseen D\n#endif\nhidden\n#endif\nD"),
              "\nseen 4\n\n4\n");
    std::string last;
    PreprocessError("#else\n", &last);
    EXPECT_EQ(last, "out of #ifdef/#ifndef");
    PreprocessError("#endif\n", &last);
    EXPECT_EQ(last, "out of #ifdef/#ifndef");
    PreprocessError("#ifdef A\n#else\n#else\n", &last);
    EXPECT_EQ(last, "directive #else already defined");
    // A text that ends inside a branch ends, reporting the open condition.
    PreprocessError("#ifdef A\nnever\nnever", &last);
    EXPECT_EQ(last, "condition \"#ifdef/#ifndef A\" is not closed by \"#endif\" directive");
    PreprocessError("#ifndef A\nseen\n", &last);
    EXPECT_EQ(last, "condition \"#ifdef/#ifndef A\" is not closed by \"#endif\" directive");
    PreprocessError("# define A", &last);
    EXPECT_EQ(last, "directive expected");
    PreprocessError("#Define A", &last);
    EXPECT_EQ(last, "directive expected");
    PreprocessError("#if A", &last);
    EXPECT_EQ(last, "invalid preprocessor directive: if");
}

TEST(Preprocessor, CommentsAndContinuedLines)
{
    EXPECT_EQ(Preprocess("a = 1; // note\nb"), "a = 1; \nb\n");
    // The spaces around a block comment stay; a comment over lines joins them.
    EXPECT_EQ(Preprocess("x = 1 /* c */ y\nz"), "x = 1  y\nz\n");
    EXPECT_EQ(Preprocess("a /* one\ntwo */ b\nc"), "a  b\nc\n");
    EXPECT_EQ(Preprocess("a /** x ***/ b"), "a  b\n");
    EXPECT_EQ(Preprocess("a / b"), "a / b\n");
    EXPECT_EQ(Preprocess("one \\\ntwo\nthree\\"), "one two\nthree\n");
    std::string last;
    PreprocessError("a /* open", &last);
    EXPECT_EQ(last, "unterminated comment block");

    // Line numbers count the lines of comments and joined lines.
    const std::string text = "/* 1\n2\r\n3 */\nx \\\nq = (";
    TCppParser p(text.data(), text.size());
    p.ReadLine();
    EXPECT_EQ(p.LineNumber(), 3);
    p.NextToken(true);
    EXPECT_EQ(p.TokenText(), "x");
    EXPECT_EQ(p.LineNumber(), 5);
    EXPECT_EQ(p.Line(), "x q = (");
}

TEST(Preprocessor, TokensInBothModes)
{
    const std::string text = "name_1 = \"a\"\"b\" #;\n";
    TCppParser p(text.data(), text.size());
    p.ReadLine();
    EXPECT_EQ(p.Position(), 1);
    EXPECT_EQ(p.NextToken(false), kTokenIdentifier);
    EXPECT_EQ(p.TokenText(), "name_1");
    EXPECT_EQ(p.NextToken(false), '=');
    EXPECT_EQ(p.NextToken(false), kTokenString);
    EXPECT_TRUE(p.TokenQuoted());
    EXPECT_EQ(p.TokenText(), "a\"b");
    EXPECT_EQ(p.NextToken(false), '#');
    EXPECT_EQ(p.Position(), 17);
    EXPECT_EQ(p.NextToken(false), ';');
    EXPECT_EQ(p.NextToken(false), kTokenLineEnd);
    EXPECT_EQ(p.NextToken(true), kTokenTextEnd);
    EXPECT_EQ(p.NextToken(true), kTokenTextEnd);

    const auto kindOf = [](const std::string& word) {
        const std::string line = word + ";";
        TCppParser v(line.data(), line.size());
        v.IdentifierMode = false;
        v.ReadLine();
        return v.NextToken(false);
    };
    EXPECT_EQ(kindOf("-.5"), kTokenString);
    EXPECT_EQ(kindOf(".5"), kTokenString);
    EXPECT_EQ(kindOf("1."), kTokenFloat);
    EXPECT_EQ(kindOf("1e5"), kTokenFloat);
    EXPECT_EQ(kindOf("1e"), kTokenString);
    EXPECT_EQ(kindOf("0x10"), kTokenString);
    EXPECT_EQ(kindOf("-5"), kTokenInteger);
    EXPECT_EQ(kindOf("+ 5"), kTokenInteger);
    EXPECT_EQ(kindOf("2147483647"), kTokenInteger);
    EXPECT_EQ(kindOf("2147483648"), kTokenString);
    EXPECT_EQ(kindOf("-2147483648"), kTokenInteger);
    EXPECT_EQ(kindOf("1 2"), kTokenString);
    EXPECT_EQ(kindOf("1e39"), kTokenString);
    EXPECT_EQ(kindOf("1e-50"), kTokenFloat);
    EXPECT_EQ(kindOf("a b{c}[d]:e"), kTokenString);
}

TEST(Preprocessor, EndMarkerStopsTheTokenizer)
{
    // A text holding nothing but blanks, and one with a literal end marker.
    const std::string blanks = " \t\r\n \x01\x02 ";
    TCppParser p(blanks.data(), blanks.size());
    p.ReadLine();
    EXPECT_EQ(p.NextToken(true), kTokenTextEnd);
    const std::string marked = "a \x1A b";
    TCppParser q(marked.data(), marked.size());
    q.ReadLine();
    EXPECT_EQ(q.NextToken(true), kTokenIdentifier);
    EXPECT_EQ(q.NextToken(true), kTokenTextEnd);
    EXPECT_EQ(q.NextToken(true), kTokenTextEnd);
}

TEST(Preprocessor, UnterminatedStringIsLogged)
{
    TRecordingServices services;
    const std::string text = "\"open\nnext";
    TCppParser p(text.data(), text.size());
    p.ReadLine();
    EXPECT_EQ(p.NextToken(false), kTokenString);
    EXPECT_EQ(p.TokenText(), "open");
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_EQ(services.Log[0], "unterminated string (double quotes expected)");
    EXPECT_EQ(p.NextToken(true), kTokenIdentifier);
}

TEST(Preprocessor, MessageFormats)
{
    TRecordingServices services;
    const std::string text = "\n  x = #y;";
    TCppParser p(text.data(), text.size());
    p.ReadLine();
    p.NextToken(true);
    p.Warning("look");
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_EQ(services.Log[0], "[Preprocessor] look, line: 2, pos: 3, source line:\r\n  x = #y;<eol>\r\n");
    EXPECT_THROW(p.Error("bad"), EParserError);
    EXPECT_EQ(p.LastMessage(), "bad");
}

TEST(Preprocessor, Includes)
{
    const auto dir = TempDir("config-includes");
    WriteFile(dir / "main.cpp", "a=1;\n#include \"Sub\\Part.h\"\nb=2;\n#include \"last.h\"");
    WriteFile(dir / "sub" / "part.h", "#define P 7\np=P;\n");
    WriteFile(dir / "extra" / "last.h", "l=P;");
    WriteFile(dir / "self.h", "#include \"self.h\"\n");
    WriteFile(dir / "lf.cpp", "#include \"lfpart.h\"\n\nline3 = (");
    WriteFile(dir / "lfpart.h", "x=1;");

    std::vector<uint8_t> bytes = ReadFileBytes(dir / "main.cpp");
    TCppParser p(bytes.data(), bytes.size());
    p.IncludesAllowed = true;
    p.SourceFolder = dir.string();
    p.IncludeFolders = {(dir / "extra").string()};
    EXPECT_EQ(Preprocess("", &p), "a=1;\n\n\np=7;\n\nb=2;\n\nl=7;\n\n");

    // Without permission an include is only a warning.
    TRecordingServices services;
    EXPECT_EQ(Preprocess("#include \"x.h\"\ny"), "\ny\n");
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_NE(services.Log[0].find("cannot open include file \"x.h\""), std::string::npos);

    // A missing file, and a file that includes itself.
    const auto run = [&](const std::string& text, std::string& last) {
        TCppParser q(text.data(), text.size());
        q.IncludesAllowed = true;
        q.SourceFolder = dir.string();
        try {
            Preprocess("", &q);
        } catch (const EParserError& e) {
            last = q.LastMessage();
            return std::string(e.what());
        }
        return std::string();
    };
    std::string last;
    const std::string missing = run("\n#include \"none.h\"", last);
    EXPECT_EQ(last, "cannot open include file \"none.h\"");
    EXPECT_NE(missing.find("line: 2, pos: 10"), std::string::npos);
    run("#include \"self.h\"", last);
    EXPECT_NE(last.find("nested deeper than 32"), std::string::npos);

    // The line after an include keeps its number: the end of the included
    // text does not take the empty line's line feed.
    bytes = ReadFileBytes(dir / "lf.cpp");
    TCppParser r(bytes.data(), bytes.size());
    r.IncludesAllowed = true;
    r.SourceFolder = dir.string();
    r.ReadLine();
    while (r.NextToken(true) != '(') {
    }
    EXPECT_EQ(r.LineNumber(), 3);
    EXPECT_FALSE(r.IncludeOpen());
}

}  // namespace
}  // namespace mc::test
