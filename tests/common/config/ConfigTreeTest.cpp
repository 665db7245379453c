#include <gtest/gtest.h>

#include <clocale>

#include "ConfigTestSupport.h"
#include "Config/ConfigClass.h"
#include "Config/ConfigNumbers.h"
#include "Config/ConfigTextWriter.h"

namespace mc::test {
namespace {

TEST(ConfigTree, ValueTexts)
{
    EXPECT_EQ(TRNumber(0.1f).ToText(), "0.100000");
    EXPECT_EQ(TRInteger(-3).ToText(), "-3");
    EXPECT_EQ(TRString("a\"b").ToText(), "\"a\"\"b\"");
    EXPECT_EQ(TRString("").ToText(), "\"\"");
    TRArray a;
    a.Add(std::make_unique<TRInteger>(1));
    a.Add(std::make_unique<TRString>("x"));
    a.Add(std::make_unique<TRArray>());
    EXPECT_EQ(a.ToText(), "{1,\"x\",{}}");
    // Floats that "%.6f" would change are written with the digits they need.
    EXPECT_EQ(TRNumber(1e-7f).ToText(), "1e-07");
    EXPECT_EQ(TRNumber(0.1234567f).ToText(), "0.1234567");
    EXPECT_EQ(TRNumber(1e10f).ToText(), "10000000000.000000");
    EXPECT_EQ(TRNumber(-0.0f).ToText(), "-0.000000");
}

TEST(ConfigTree, NumbersIgnoreTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // Named as Linux and as Windows name them.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") &&
        !std::setlocale(LC_NUMERIC, "German_Germany.1252"))
        GTEST_SKIP() << "no locale with a decimal comma here";
    TResources doc;
    const bool loaded = LoadConfigText(doc, "f = 2.5;");
    const std::string text = loaded ? ConfigText(doc) : std::string();
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(text, "f=2.500000;\r\n");
}

TEST(ConfigTree, Conversions)
{
    EXPECT_EQ(TRNumber(2.5f).AsInteger(), 2);
    EXPECT_EQ(TRNumber(3.5f).AsInteger(), 4);
    EXPECT_EQ(TRNumber(-2.5f).AsInteger(), -2);
    EXPECT_EQ(TRString("42").AsInteger(), 42);
    EXPECT_FLOAT_EQ(TRString("1.5").AsFloat(), 1.5f);
    EXPECT_THROW(TRString("abc").AsInteger(), EConvertError);
    EXPECT_THROW(TRString("1.5").AsInteger(), EConvertError);
    EXPECT_EQ(TRArray().AsString(), "");
    EXPECT_EQ(TRString("x").EnumIndex, TRString::kNotEnum);
    EXPECT_EQ(TRString("").EnumIndex, TRString::kNeverEnum);
}

TEST(ConfigTree, Lookups)
{
    TResources doc;
    ASSERT_TRUE(LoadConfigText(doc,
                               "class Base0 { deep = 1; class Sub {}; };\n"
                               "class Base1 : Base0 { mid[] = {}; };\n"
                               "class Top : Base1 { name = \"t\"; Dup = 1; dup = 2; };\n"));
    const auto& top = *static_cast<TRClass*>(doc.RootClass->FindMember("TOP"));
    EXPECT_EQ(top.Name, "Top");
    EXPECT_NE(top.FindInherited("DEEP", kTypeInteger), nullptr);
    EXPECT_EQ(top.FindInherited("deep", kTypeString), nullptr);
    EXPECT_NE(top.FindInherited("mid", kTypeArray), nullptr);
    EXPECT_NE(top.FindInherited("sub", kMemberClass), nullptr);
    EXPECT_EQ(top.FindMemberOfKind("deep", kTypeInteger), nullptr);
    EXPECT_EQ(top.FindField("dup")->Value->AsInteger(), 1);  // the first of a name
    EXPECT_EQ(doc.RootClass->FindPath({"base0", "SUB"}), top.Base->Base->FindMember("sub"));
    EXPECT_EQ(doc.RootClass->FindPath({"top", "sub"}), nullptr);  // paths do not inherit
    EXPECT_EQ(top.FindField("sub"), nullptr);
    EXPECT_EQ(top.MemberAt(3), nullptr);
    EXPECT_EQ(top.MemberAt(-1), nullptr);
    EXPECT_TRUE(doc.RootClass->HasClassMembers());
    EXPECT_FALSE(top.HasClassMembers());
    // The written text keeps the declared case.
    EXPECT_NE(ConfigText(doc).find("class Top : Base1\r\n{\r\n\tname=\"t\";\r\n\tDup=1;\r\n"), std::string::npos);
}

TEST(ConfigTree, LookupsInLargeClasses)
{
    // Past a few members lookups go through an index, which must keep the
    // first member of a name through edits.
    TRClass k("k");
    for (int i = 0; i < 40; ++i) k.AddMember(TRClass::NewIntegerField("f" + std::to_string(i)));
    k.AddMember(TRClass::NewStringField("F3"));
    EXPECT_EQ(k.FindMember("F3"), k.MemberAt(3));
    EXPECT_TRUE(k.DeleteMember(3));
    EXPECT_EQ(k.FindMember("f3"), k.MemberAt(39));
    k.InsertMember(0, TRClass::NewClass("F3"));
    EXPECT_TRUE(k.FindMember("f3")->IsClass());
    EXPECT_TRUE(k.RemoveAndFree(k.MemberAt(0)));
    EXPECT_TRUE(k.FindMember("f3")->IsField());
    EXPECT_EQ(k.FindMember("nope"), nullptr);
}

TEST(ConfigTree, Edits)
{
    TRClass k("k");
    TRField* s = static_cast<TRField*>(k.AddMember(TRClass::NewStringField("s")));
    TRField* i = static_cast<TRField*>(k.AddMember(TRClass::NewIntegerField("i")));
    EXPECT_EQ(s->Owner, &k);
    EXPECT_FALSE(s->SetInteger(5));
    EXPECT_EQ(s->ValueText(), "\"\"");
    EXPECT_TRUE(s->SetString("v"));
    EXPECT_TRUE(i->SetInteger(7));
    EXPECT_FALSE(i->SetString("x"));
    EXPECT_TRUE(i->ValueBool());
    EXPECT_EQ(k.IndexOfMember(i), 1);
    auto taken = k.RemoveMember(s);
    EXPECT_EQ(taken.get(), s);
    EXPECT_EQ(k.RemoveMember(s), nullptr);
    EXPECT_FALSE(k.DeleteMember(5));
    k.Clear();
    EXPECT_EQ(k.MemberCount(), 0);

    // A base chain that would come back to the class is refused.
    TRClass a("a"), b("b");
    EXPECT_TRUE(b.SetBase(&a));
    EXPECT_FALSE(a.SetBase(&b));
    EXPECT_FALSE(a.SetBase(&a));
    EXPECT_EQ(a.Base, nullptr);

    int marker = 0;
    auto* sub = static_cast<TRClass*>(k.AddMember(TRClass::NewClass("sub")));
    k.TreeNode = sub->TreeNode = sub->TreeNodeExtra = &marker;
    k.ClearTreeNodes();
    EXPECT_EQ(k.TreeNode, nullptr);
    EXPECT_EQ(sub->TreeNodeExtra, nullptr);
}

TEST(ConfigTree, RootNameAndWriterLayout)
{
    TResources doc;
    doc.RootClass->Name = "C:\\game/bin\\config.cpp";
    EXPECT_EQ(doc.RootClass->GetName(), "config.cpp");
    auto* k = static_cast<TRClass*>(doc.RootClass->AddMember(TRClass::NewClass("K")));
    k->AddMember(std::make_unique<TRField>("arr", std::make_unique<TRArray>()));
    auto* inner = static_cast<TRClass*>(k->AddMember(TRClass::NewClass("In")));
    inner->Base = k;
    doc.RootClass->AddMember(std::make_unique<TRField>("x", std::make_unique<TRNumber>(1.5f)));
    EXPECT_EQ(ConfigText(doc), "class K\r\n{\r\n\tarr[]={};\r\n\tclass In : K\r\n\t{\r\n\t};\r\n};\r\nx=1.500000;\r\n");
    std::string one;
    AppendClassText(one, *inner, 1);
    EXPECT_EQ(one, "\tclass In : K\r\n\t{\r\n\t};\r\n");
}

}  // namespace
}  // namespace mc::test
