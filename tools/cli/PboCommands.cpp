// pbo list / extract / cat / pack: the game's archives from the command line.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Archive/MakeAddOn.h"
#include "Archive/PbExtract.h"
#include "Archive/PbFile.h"
#include "CliCommon.h"
#include "Commands.h"
#include "Core/LoadResult.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "ModelJson.h"

namespace mc::cli {

namespace {

// Opens an archive or says why not on stderr.
bool OpenOrReport(TPbFile& archive, const std::string& path)
{
    const std::string refusal = FileRefusal(path);
    if (!refusal.empty()) {
        std::fprintf(stderr, "Cannot open archive: %s\n", refusal.c_str());
        return false;
    }
    if (!archive.Open(path)) {
        const std::string reason =
            archive.LastError().empty() ? "\"" + path + "\" cannot be read" : archive.LastError();
        std::fprintf(stderr, "Cannot open archive: %s\n", reason.c_str());
        return false;
    }
    return true;
}

std::string MethodText(uint32_t method)
{
    if (method == kPbMethodStored) return "stored";
    if (method == kPbMethodPacked) return "packed";
    return Format("0x%08x", method);
}

int RunList(const TArgs& args)
{
    TPbFile archive;
    if (!OpenOrReport(archive, args.Positional[0])) return ExitRefused;
    const auto& entries = archive.Entries();
    if (args.Has("--json")) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const TPbFileItem* e : entries) {
            nlohmann::ordered_json j;
            j["name"] = ToUtf8(e->Name);
            j["method"] = MethodText(e->Method);
            j["originalSize"] = e->OriginalSize;
            j["dataSize"] = e->DataSize;
            j["size"] = e->Size();
            j["timestamp"] = e->TimeStamp;
            j["modified"] = e->ModifiedText();
            j["offset"] = e->DataOffset;
            list.push_back(std::move(j));
        }
        nlohmann::ordered_json j;
        j["file"] = ToUtf8(archive.FileName);
        j["entries"] = std::move(list);
        PrintJson(j);
        return ExitOk;
    }
    std::printf("%-8s %12s %12s  %-17s %12s  %s\n", "Method", "Original", "Data size", "Modified", "Offset", "Name");
    for (const TPbFileItem* e : entries)
        std::printf("%-8s %12d %12d  %-17s %12u  %s\n", MethodText(e->Method).c_str(), e->OriginalSize, e->DataSize,
                    e->ModifiedText().c_str(), e->DataOffset, e->Name.c_str());
    std::printf("%zu entries\n", entries.size());
    return ExitOk;
}

int RunExtract(const TArgs& args)
{
    TPbFile archive;
    if (!OpenOrReport(archive, args.Positional[0])) return ExitRefused;
    bool missing = false;
    std::vector<const TPbFileItem*> items;
    for (size_t i = 2; i < args.Positional.size(); ++i) {
        const TPbFileItem* item = archive.FindFile(args.Positional[i]);
        if (!item) {
            std::fprintf(stderr, "No entry \"%s\" in \"%s\"\n", args.Positional[i].c_str(), args.Positional[0].c_str());
            missing = true;
            continue;
        }
        items.push_back(item);
    }
    if (missing && items.empty()) return ExitRefused;
    const size_t asked = items.empty() ? archive.Entries().size() : items.size();
    const TExtractSummary s = ExtractToFolder(archive, args.Positional[1], items);
    std::fprintf(stderr, "Extracted %d of %zu entries (%llu bytes)\n", s.Extracted, asked,
                 static_cast<unsigned long long>(s.Bytes));
    return missing || s.Refused || s.Failed ? ExitRefused : ExitOk;
}

int RunCat(const TArgs& args)
{
    TPbFile archive;
    if (!OpenOrReport(archive, args.Positional[0])) return ExitRefused;
    const TPbFileItem* item = archive.FindFile(args.Positional[1]);
    if (!item) {
        std::fprintf(stderr, "No entry \"%s\" in \"%s\"\n", args.Positional[1].c_str(), args.Positional[0].c_str());
        return ExitRefused;
    }
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!item->ExtractToBytes(archive.Stream.get(), bytes, &reason)) {
        std::fprintf(stderr, "Cannot extract \"%s\": %s\n", item->Name.c_str(), reason.c_str());
        return ExitRefused;
    }
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return ExitOk;
}

int RunPack(const TArgs& args)
{
    TAddOnOptions options;
    options.SourceFolder = args.Positional[0];
    options.DestFile = args.Positional[1];
    options.Recursive = !args.Has("--no-recursive");
    options.AddToPbManager = false;
    return MakeAddOn(options, nullptr) ? ExitOk : ExitRefused;
}

std::vector<TCommand> PboCommands()
{
    return {
        {"pbo", "list", "ARCHIVE [--json]", "the entries in storage order: method, sizes, time, data offset",
         TArgSpec{{"--json"}, {}, 1, 1}, RunList},
        {"pbo", "extract", "ARCHIVE OUTDIR [ENTRY...]",
         "write every entry (or the named ones) under OUTDIR; unsafe names are refused",
         TArgSpec{{}, {}, 2, SIZE_MAX}, RunExtract},
        {"pbo", "cat", "ARCHIVE ENTRY", "write one entry's content to standard output", TArgSpec{{}, {}, 2, 2},
         RunCat},
        {"pbo", "pack", "FOLDER OUT.pbo [--no-recursive]", "pack a folder into a new archive, as Make AddOn does",
         TArgSpec{{"--no-recursive"}, {}, 2, 2}, RunPack},
    };
}

const TCommandRegistrar registrar(PboCommands);

}  // namespace

}  // namespace mc::cli
