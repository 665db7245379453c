#include <gtest/gtest.h>

#include <fstream>

#include "ConfigTestSupport.h"
#include "Config/ConfigClass.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

const TRField* Field(const TResources& doc, const std::string& path)
{
    const TRClass* k = doc.RootClass.get();
    size_t start = 0;
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', start)) {
        k = static_cast<const TRClass*>(k->FindMemberOfKind(path.substr(start, slash - start), kMemberClass));
        if (!k) return nullptr;
        start = slash + 1;
    }
    return k->FindField(path.substr(start));
}

// The error message of a refused text, "" when it loads.
std::string LoadError(const std::string& text)
{
    TResources doc;
    return LoadConfigText(doc, text) ? std::string() : doc.ErrorMessage;
}

bool ErrorStartsWith(const std::string& text, const std::string& message)
{
    return LoadError(text).rfind("[Cpp Loaded] " + message + "\r\n", 0) == 0;
}

TEST(ConfigText, ValuesOfEachKind)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc,
                               "i = -5; f = 2.5; w = hello world; q = \"say \"\"hi\"\"\"; e = ; big = 2147483648;\n"
                               "two = 1 2\nparen = 1 - (a+0.04);\nt = 1\t\n"));
    EXPECT_EQ(Field(doc, "i")->Value->TypeCode(), kTypeInteger);
    EXPECT_EQ(Field(doc, "i")->Value->AsInteger(), -5);
    EXPECT_EQ(Field(doc, "f")->Value->AsFloat(), 2.5f);
    EXPECT_EQ(Field(doc, "w")->ValueString(), "hello world");
    EXPECT_EQ(Field(doc, "q")->ValueString(), "say \"hi\"");
    EXPECT_EQ(Field(doc, "e")->ValueString(), "");
    EXPECT_EQ(Field(doc, "big")->Value->TypeCode(), kTypeString);
    EXPECT_EQ(Field(doc, "two")->ValueString(), "1 2");
    EXPECT_EQ(Field(doc, "paren")->ValueString(), "1 - (a+0.04)");
    EXPECT_EQ(Field(doc, "t")->Value->TypeCode(), kTypeInteger);
    EXPECT_EQ(doc.Version, 2u);
    EXPECT_EQ(doc.FileKind, kConfigText);
    EXPECT_EQ(doc.RootClass->Name, "test.cpp");
}

TEST(ConfigText, DecibelValues)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "z = db-20;\nu = db+0;\nx = dbx;\nd = db;\nq = \"db-40\";\na[] = {\"s.wav\",db-10,1};"));
    EXPECT_FLOAT_EQ(Field(doc, "z")->ValueFloat(), 0.1f);
    EXPECT_EQ(Field(doc, "z")->Value->TypeCode(), kTypeFloat);
    EXPECT_FLOAT_EQ(Field(doc, "u")->ValueFloat(), 1.0f);
    EXPECT_EQ(Field(doc, "x")->ValueString(), "dbx");
    EXPECT_EQ(Field(doc, "d")->ValueString(), "db");
    // Quoted, it stays a string as the game's own binarized config keeps it.
    EXPECT_EQ(Field(doc, "q")->ValueString(), "db-40");
    const auto& a = static_cast<const TRArray&>(*Field(doc, "a")->Value);
    ASSERT_EQ(a.Count(), 3);
    EXPECT_FLOAT_EQ(a.Elements[1]->AsFloat(), 0.31622776f);
}

TEST(ConfigText, Arrays)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "arr[] = {1, 2.5, \"s\", {3}};\ntrail[] = {1,};\nempty[]={};\n"
                                    "lines[] = {\n  1,\n  2\n};\nholes[] = {,x,,};"));
    EXPECT_EQ(Field(doc, "arr")->ValueText(), "{1,2.500000,\"s\",{3}}");
    EXPECT_EQ(Field(doc, "trail")->ValueText(), "{1,\"\"}");
    EXPECT_EQ(Field(doc, "empty")->ValueText(), "{}");
    EXPECT_EQ(Field(doc, "lines")->ValueText(), "{1,2}");
    EXPECT_EQ(Field(doc, "holes")->ValueText(), "{\"\",\"x\",\"\",\"\"}");
    EXPECT_TRUE(ErrorStartsWith("a[] = {1 = 2};", "\"}\" or \",\" expected"));
    EXPECT_TRUE(ErrorStartsWith("a[] = 5;", "\"{\" expected"));
}

TEST(ConfigText, EnumerationsAndBareNames)
{
    TRecordingServices services;
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "enum {A, B};\nenum Named {C, , D,};\nx = B;\ny = \"B\";\nz = d;\n"));
    ASSERT_EQ(doc.EnumTable.size(), 4u);
    EXPECT_EQ(doc.EnumTable[1].Value->Value, 1);
    EXPECT_EQ(doc.EnumTable[2].Value->Value, 0);  // every enumeration starts at 0
    EXPECT_EQ(doc.EnumTable[3].Value->Value, 2);  // the unnamed entry took 1
    EXPECT_EQ(Field(doc, "x")->ValueText(), "B");
    EXPECT_EQ(Field(doc, "y")->ValueText(), "\"B\"");
    EXPECT_EQ(Field(doc, "z")->ValueText(), "d");
    EXPECT_NE(ConfigText(doc).find("#define A 0\r\n#define B 1\r\n#define C 0\r\n#define D 2\r\n\r\n"), std::string::npos);
    ASSERT_EQ(services.Log.size(), 2u);
    EXPECT_EQ(services.Log[0].rfind("[Cpp Loaded] enumeration member without a name\r\nline: 2", 0), 0u);
    EXPECT_EQ(services.Log[1].rfind("[Cpp Loaded] comma before closed brace", 0), 0u);

    EXPECT_TRUE(ErrorStartsWith("enum {A, A};", "enumeration member \"A\" already defined"));
    EXPECT_TRUE(ErrorStartsWith("enum = 5", "\"{\" or enum name expected"));
    EXPECT_TRUE(ErrorStartsWith("enum E = ", "\"{\" expected"));
    EXPECT_TRUE(ErrorStartsWith("enum {A = 1};", "\"}\" or enum member name expected"));
    // Only the root declares enumerations.
    EXPECT_TRUE(ErrorStartsWith("class K { enum {A}; };", "\"=\" or \"[\" expected"));
}

TEST(ConfigText, BracesStringsAndWasteSemicolons)
{
    TRecordingServices services;
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "s = { two words };\nclass K {};;;\n"));
    EXPECT_EQ(Field(doc, "s")->ValueString(), " two words ");
    ASSERT_EQ(services.Log.size(), 2u);
    EXPECT_EQ(services.Log[0].rfind("[Cpp Loaded] string in braces\r\nline: 1", 0), 0u);
    EXPECT_EQ(services.Log[1].rfind("[Cpp Loaded] waste char \";\"\r\n", 0), 0u);
    EXPECT_TRUE(ErrorStartsWith("s = { open\n}", "unterminated string (\"}\" expected)"));
}

TEST(ConfigText, FieldsEndAtLineEnds)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "class K\n{\n  a = 1\n  b = x\n};\nlast = 3"));
    EXPECT_EQ(Field(doc, "K/a")->Value->AsInteger(), 1);
    EXPECT_EQ(Field(doc, "K/b")->ValueString(), "x");
    EXPECT_EQ(Field(doc, "last")->Value->AsInteger(), 3);
    EXPECT_TRUE(ErrorStartsWith("class K { a = 1 } ;", "\";\" or end of line expected"));
    EXPECT_TRUE(ErrorStartsWith("a = 1 }", "\";\", end of line or end of file expected"));
}

TEST(ConfigText, ParentLookup)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc,
                               "class A { v = 1; };\n"
                               "class Outer {\n"
                               "  class B : a { };\n"        // in an enclosing class
                               "  class A { v = 2; };\n"
                               "  class C : A { };\n"        // the nearer one
                               "  class Inner : B { class D : A {}; };\n"
                               "};\n"
                               "class Outer2 : Outer { class E : C {}; };\n"));  // in the base's scope
    const TRClass& outer = *static_cast<TRClass*>(doc.RootClass->FindMember("Outer"));
    const auto* rootA = doc.RootClass->FindMember("A");
    EXPECT_EQ(static_cast<TRClass*>(outer.FindMember("B"))->Base, rootA);
    EXPECT_EQ(static_cast<TRClass*>(outer.FindMember("C"))->Base, outer.FindMember("A"));
    const auto* inner = static_cast<TRClass*>(outer.FindMember("Inner"));
    // Inner's base is searched first, and from it the scopes around B's own
    // base: the root's A wins over the A beside Inner.
    EXPECT_EQ(static_cast<TRClass*>(inner->FindMember("D"))->Base, rootA);
    const auto* outer2 = static_cast<TRClass*>(doc.RootClass->FindMember("Outer2"));
    EXPECT_EQ(static_cast<TRClass*>(outer2->FindMember("E"))->Base, outer.FindMember("C"));

    EXPECT_TRUE(ErrorStartsWith("class B : Later {};\nclass Later {};", "parent class \"Later\" not found"));
    // A class named like its base with no earlier class of that name.
    EXPECT_TRUE(ErrorStartsWith("class Self : self {};", "class \"Self\" cannot inherit from itself"));
    EXPECT_TRUE(LoadError("class A {};\nclass A : A {};").empty());
}

TEST(ConfigText, SyntaxErrorsWithPositions)
{
    EXPECT_EQ(LoadError("class K {\n  x = ;\n  = 5;\n};"),
              "[Cpp Loaded] \"}\", \"class\" or field name expected\r\nline: 3, pos: 3, source line:\r\n\r\n= 5;<eol>\r\n");
    EXPECT_TRUE(ErrorStartsWith("class {}", "class name expected"));
    EXPECT_TRUE(ErrorStartsWith("class A : {}", "parent class name expected"));
    EXPECT_TRUE(ErrorStartsWith("class A : B }", "parent class \"B\" not found"));
    EXPECT_TRUE(ErrorStartsWith("class B {}; class A : B }", "\"{\" expected"));
    EXPECT_TRUE(ErrorStartsWith("class A ;", "\":\" or \"{\" expected"));
    EXPECT_TRUE(ErrorStartsWith("x : 1;", "\"=\" or \"[\" expected"));
    EXPECT_TRUE(ErrorStartsWith("x[ = 1;", "\"]\" expected"));
    EXPECT_TRUE(ErrorStartsWith("x[] 1;", "\"=\" expected"));
    EXPECT_TRUE(ErrorStartsWith("x = :;", "integer, float or string value expected"));
    EXPECT_TRUE(ErrorStartsWith("};", "\"class\", field name or end of file expected"));
    // Preprocessor errors end the load with their own message.
    EXPECT_TRUE(ErrorStartsWith("#ifdef X\n", "condition \"#ifdef/#ifndef X\" is not closed by \"#endif\" directive"));
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "class a {";
    EXPECT_TRUE(ErrorStartsWith(deep, "classes nested deeper than 256"));
    std::string arrays = "a[]=";
    for (int i = 0; i < 300; ++i) arrays += "{";
    EXPECT_TRUE(ErrorStartsWith(arrays, "arrays nested deeper than 256"));
}

TEST(ConfigText, TextEndingInsideOpenClassesClosesThem)
{
    // Released add-ons often end their config inside the last class: the
    // text loads, with one warning that names the innermost open class and
    // the line its name stands on.
    TRecordingServices services;
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc, "class Outer {\n  a = 1;\n  class Inner\n  {\n    b = 2;\n"));
    EXPECT_TRUE(doc.ErrorMessage.empty());
    ASSERT_TRUE(Field(doc, "Outer/a"));
    EXPECT_EQ(Field(doc, "Outer/a")->Value->AsInteger(), 1);
    ASSERT_TRUE(Field(doc, "Outer/Inner/b"));
    EXPECT_EQ(Field(doc, "Outer/Inner/b")->Value->AsInteger(), 2);
    ASSERT_EQ(services.Log.size(), 1u);
    const std::string& warning = services.Log[0];
    EXPECT_EQ(warning.rfind("[Cpp Loaded] class \"Inner\" begun at line 3 is not closed at the end of the text\r\n"
                            "line: ",
                            0),
              0u)
        << warning;
    EXPECT_NE(warning.find(", pos: "), std::string::npos) << warning;
    EXPECT_TRUE(warning.ends_with("<eol>\r\n")) << warning;

    // Written back, both classes are closed: the text reads again without a
    // warning and with the same members.
    services.Log.clear();
    TResources again;
    ASSERT_TRUE(LoadConfigText(again, ConfigText(doc)));
    EXPECT_TRUE(services.Log.empty());
    EXPECT_EQ(ConfigText(again), ConfigText(doc));
    ASSERT_TRUE(Field(again, "Outer/Inner/b"));

    // One open class, later members of the root before it kept.
    services.Log.clear();
    TResources one;
    ASSERT_TRUE(LoadConfigText(one, "x = 1;\nclass Closed { };\n\nclass Last { y = 2;"));
    ASSERT_TRUE(Field(one, "Last/y"));
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_EQ(services.Log[0].rfind("[Cpp Loaded] class \"Last\" begun at line 4 is not closed", 0), 0u)
        << services.Log[0];
    // The binarized form of such a document is complete as well.
    TResources binary;
    ASSERT_TRUE(LoadConfigBinary(binary, ConfigBinary(one)));
    ASSERT_TRUE(Field(binary, "Last/y"));
    EXPECT_EQ(Field(binary, "Last/y")->Value->AsInteger(), 2);

    // A closing brace too many still fails, where it stands.
    EXPECT_EQ(LoadError("class K { x = 1; };\n};\n"),
              "[Cpp Loaded] \"class\", field name or end of file expected\r\nline: 2, pos: 1, source line:\r\n\r\n"
              "};<eol>\r\n");
    // So does a class whose body breaks off on a wrong token.
    EXPECT_TRUE(ErrorStartsWith("class K {\n  x = 1;\n  ]", "\"}\", \"class\" or field name expected"));
}

TEST(ConfigText, LoadFromFileByExtension)
{
    const auto dir = TempDir("config-extensions");
    const auto write = [&](const std::string& name, const std::string& text) {
        TResources d;
        ASSERT_TRUE(LoadConfigText(d, text));
        ASSERT_TRUE(d.SaveToFile((dir / name).string(), name.ends_with(".txt") ? kConfigText : kConfigBinary));
    };
    write("a.bin", "x = 1;");
    write("b.fps", "x = 2;");
    write("c.sqm", "x = 3;");
    write("d.txt", "x = 4;");
    write("e.other", "x = 5;");
    for (const char* name : {"a.bin", "b.fps", "c.sqm", "d.txt", "e.other"}) {
        TResources doc;
        EXPECT_TRUE(doc.LoadFromFile((dir / name).string())) << name << ": " << doc.ErrorMessage;
        EXPECT_FALSE(doc.IncludeFiles);
    }
    // Text in a ".sqm" file falls back to the text reader; other names do not.
    {
        std::ofstream(dir / "m.sqm", std::ios::binary) << "class Mission { items = 2; };";
        std::ofstream(dir / "m.xyz", std::ios::binary) << "class Mission { items = 2; };";
        TResources doc;
        EXPECT_TRUE(doc.LoadFromFile((dir / "m.sqm").string())) << doc.ErrorMessage;
        EXPECT_EQ(doc.FileKind, kConfigText);
        TResources other;
        EXPECT_FALSE(other.LoadFromFile((dir / "m.xyz").string()));
        EXPECT_EQ(other.ErrorMessage, "signature mismatch, stream pos: 0x00000004");
    }
    TResources missing;
    EXPECT_FALSE(missing.LoadFromFile((dir / "none.cpp").string()));
    EXPECT_EQ(missing.ErrorMessage, "cannot open file \"" + (dir / "none.cpp").string() + "\"");
}

}  // namespace
}  // namespace mc::test
