#include "Archive/MakeAddOn.h"

#include <memory>
#include <vector>

#include "Archive/NativePath.h"
#include "Archive/PbFile.h"
#include "Archive/PbList.h"
#include "Core/AppServices.h"
#include "Core/FindFiles.h"
#include "Core/Stream.h"
#include "Core/Strings.h"

namespace mc {

std::string AddOnDestFile(const std::string& dataRoot, std::string_view addOnName)
{
    const std::string name = Trim(addOnName);
    if (name.empty()) return {};
    return NativePath(dataRoot + "\\AddOns\\" + name + ".pbo");
}

std::string AddOnSourceFolder(std::string_view text) { return ExcludeTrailingBackslash(Trim(text)); }

namespace {

void ShowCannotCreate(const TAddOnOptions& options, const std::string& reason)
{
    ShowMessage(TMessageKind::Error, Format("Cannot create file \"%s\":\r", options.DestFile.c_str()) + reason);
}

// Writes the archive; the boxes tell the user how it went.
bool WriteAddOn(const TAddOnOptions& options, const std::vector<std::string>& files)
{
    TPbFile archive;
    if (!archive.CreateNew(options.DestFile)) {
        ShowCannotCreate(options, archive.LastError());
        return false;
    }
    archive.SetSourcePrefix(options.SourceFolder);
    // Entries added before a file that cannot be opened are still written.
    archive.AddSourceFiles(files);
    if (!archive.WriteArchive()) {
        ShowCannotCreate(options, archive.LastError());
        return false;
    }
    ShowMessage(TMessageKind::Information, "OK Created");
    return true;
}

}  // namespace

bool MakeAddOn(const TAddOnOptions& options, TPbList* list)
{
    TWaitCursor wait;
    std::vector<std::string> files;
    FindFiles(NativePath(options.SourceFolder), "*.*", files, options.Recursive);
    bool wasOpen = false, wasAddOn = false, written = false;
    if (files.empty()) {
        ShowMessage(TMessageKind::Warning,
                    Format("There are no files in the source folder \"%s\"!", options.SourceFolder.c_str()));
    } else {
        // An archive open in the list is closed so that its file can be replaced.
        if (list && list->IsArchiveOpen(options.DestFile)) {
            std::unique_ptr<TPbFile> open = list->RemoveArchive(options.DestFile);
            wasOpen = true;
            wasAddOn = StartsWithBackslash(open->Name);
        }
        try {
            TAddOnOptions native = options;
            native.SourceFolder = NativePath(options.SourceFolder);
            while (native.SourceFolder.size() > 1 &&
                   (native.SourceFolder.back() == '/' || native.SourceFolder.back() == '\\'))
                native.SourceFolder.pop_back();
            written = WriteAddOn(native, files);
        } catch (const std::exception& e) {
            // The archive that was there is untouched: it is opened again below.
            ShowMessage(TMessageKind::Error, e.what());
        }
    }

    if (list && (wasOpen || options.AddToPbManager)) list->AddArchive(options.DestFile, wasOpen && wasAddOn);
    return written;
}

}  // namespace mc
