#include "Archive/PbFile.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

TPbDirectory::TPbDirectory(TPbFile* owner, std::string name) : TPbItem(owner, std::move(name))
{
    Items.SetSorted(true);
    Items.SetDuplicates(TDuplicates::Error);
}

TPbDirectory::~TPbDirectory() = default;

void TPbDirectory::Clear()
{
    Items.Clear();
    children_.clear();
}

TPbDirectory* TPbDirectory::ForcePath(std::string_view path)
{
    TPbDirectory* dir = this;
    while (!path.empty()) {
        const size_t sep = path.find('\\');
        const std::string key = LowerCase(path.substr(0, sep));
        path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
        int index;
        if (dir->Items.Find(key, index)) {
            TPbItem* child = dir->Items.Object(index);
            if (!child->IsDirectory()) {
                ShowMessage(TMessageKind::Error, Format("Internal error: \"%s\" not a directory!", child->Name.c_str()));
                return nullptr;
            }
            dir = static_cast<TPbDirectory*>(child);
            continue;
        }
        auto child = std::make_unique<TPbDirectory>(Owner, key);
        TPbDirectory* raw = child.get();
        dir->children_.push_back(std::move(child));
        dir->Items.Add(key, raw);
        dir = raw;
    }
    return dir;
}

bool TPbDirectory::AddFile(TPbFileItem* item)
{
    std::string key = LowerCase(item->Name);
    int index;
    if (Items.Find(key, index)) {
        ShowMessage(TMessageKind::Error, Format("File \"%s\" already exists!", item->Name.c_str()));
        return false;
    }
    Items.Add(std::move(key), item);
    return true;
}

}  // namespace mc
