// The catalog's trees held as config classes: a group is a class with the
// field group = 1 and a display name, an item a class whose field "file" is
// the model's game path. Class names are the name or path with every
// character other than a letter or digit turned into "_".
#pragma once

#include <string>
#include <string_view>

namespace mc {

class TRClass;

// The class name for a display name or a path.
std::string CatalogClassName(std::string_view text);

bool IsCatalogGroup(const TRClass& node);
// The "file" field, trimmed; empty for a group or an item without one.
std::string CatalogFile(const TRClass& node);
// What the tree shows: a group's "name"; an item's "name", else its "file";
// otherwise the class name.
std::string CatalogCaption(const TRClass& node);

// Appends a group (group = 1, name) or an item (file) to parent.
TRClass* AddCatalogGroup(TRClass& parent, const std::string& name);
TRClass* AddCatalogItem(TRClass& parent, const std::string& file);
// Sets the "name" field, made as the class's first member when missing.
void SetCatalogName(TRClass& node, const std::string& name);

// Position among parent's members before which a first child class goes:
// after the fields that open the class.
int FirstClassPosition(const TRClass& parent);

}  // namespace mc
