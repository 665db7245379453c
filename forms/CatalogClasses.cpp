#include "CatalogClasses.h"

#include <cctype>

#include "Config/ConfigClass.h"
#include "Core/Strings.h"

namespace mc {

namespace {

// The field's value as a string; numbers as written.
std::string FieldText(const TRClass& node, std::string_view name)
{
    const TRField* field = node.FindField(name);
    if (!field || !field->Value || field->IsArrayField()) return {};
    return field->Value->IsString() ? field->ValueString() : field->ValueText();
}

}  // namespace

std::string CatalogClassName(std::string_view text)
{
    std::string name(text);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

bool IsCatalogGroup(const TRClass& node)
{
    const TRField* field = node.FindField("group");
    if (!field || !field->Value || field->IsArrayField()) return false;
    if (field->Value->IsString()) return Trim(field->ValueString()) == "1";
    return field->Value->AsFloat() == 1.0f;
}

std::string CatalogFile(const TRClass& node) { return IsCatalogGroup(node) ? std::string() : Trim(FieldText(node, "file")); }

std::string CatalogCaption(const TRClass& node)
{
    const std::string name = FieldText(node, "name");
    if (!name.empty()) return name;
    if (!IsCatalogGroup(node)) {
        const std::string file = FieldText(node, "file");
        if (!file.empty()) return file;
    }
    return node.Name;
}

TRClass* AddCatalogGroup(TRClass& parent, const std::string& name)
{
    auto group = TRClass::NewClass(CatalogClassName(name));
    group->AddMember(std::make_unique<TRField>("group", std::make_unique<TRInteger>(1)));
    group->AddMember(std::make_unique<TRField>("name", std::make_unique<TRString>(name)));
    return static_cast<TRClass*>(parent.AddMember(std::move(group)));
}

TRClass* AddCatalogItem(TRClass& parent, const std::string& file)
{
    auto item = TRClass::NewClass(CatalogClassName(file));
    item->AddMember(std::make_unique<TRField>("file", std::make_unique<TRString>(file)));
    return static_cast<TRClass*>(parent.AddMember(std::move(item)));
}

void SetCatalogName(TRClass& node, const std::string& name)
{
    TRField* field = node.FindField("name");
    if (!field) {
        node.InsertMember(0, std::make_unique<TRField>("name", std::make_unique<TRString>(name)));
        return;
    }
    if (!field->SetString(name)) field->Value = std::make_unique<TRString>(name);
}

int FirstClassPosition(const TRClass& parent)
{
    for (int i = 0; i < parent.MemberCount(); ++i)
        if (parent.MemberAt(i)->IsClass()) return i;
    return parent.MemberCount();
}

}  // namespace mc
