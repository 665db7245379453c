// config ... and stringtable ...: configs in text and binarized form, and
// string tables.
#include <cstdio>
#include <string>
#include <vector>

#include "CliCommon.h"
#include "Commands.h"
#include "Config/ConfigClass.h"
#include "Config/ConfigTextWriter.h"
#include "Config/CppParser.h"
#include "Config/IncludeFiles.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "ModelJson.h"

namespace mc::cli {

namespace {

std::vector<std::string> IncludeFolders(const TArgs& args)
{
    const auto it = args.OptionLists.find("-I");
    return it == args.OptionLists.end() ? std::vector<std::string>() : it->second;
}

// Writes the text to standard output; whether it got there is checked once
// the command returns.
int Print(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    return ExitOk;
}

// The loader logs its warnings; a refusal gets its reason here.
bool LoadOrReport(TResources& doc, const TArgs& args)
{
    doc.IncludeFolders = IncludeFolders(args);
    if (doc.LoadFromFile(args.Positional[0])) return true;
    std::fprintf(stderr, "File \"%s\" not loaded:\n%s\n", args.Positional[0].c_str(), doc.ErrorMessage.c_str());
    return false;
}

int RunPreprocess(const TArgs& args)
{
    const std::string& path = args.Positional[0];
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", path.c_str());
        return ExitRefused;
    }
    TCppParser parser(bytes.data(), bytes.size());
    parser.IncludesAllowed = true;
    parser.SourceFolder = FolderOf(path);
    parser.IncludeFolders = IncludeFolders(args);
    std::string out;
    try {
        bool more = parser.ReadLine();
        for (;;) {
            out += parser.RestOfLine();
            out += '\n';
            if (!more) break;
            more = parser.ReadLine();
        }
        parser.NextTokenAtEnd(true);
    } catch (const EParserError&) {
        // The preprocessor logged the positioned message.
        return ExitRefused;
    }
    return Print(out);
}

int RunText(const TArgs& args)
{
    TResources doc;
    if (!LoadOrReport(doc, args)) return ExitRefused;
    if (args.Positional.size() < 2) {
        std::string out;
        doc.AppendText(out);
        return Print(out);
    }
    if (!doc.SaveToFile(args.Positional[1], kConfigText)) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", args.Positional[1].c_str(), doc.ErrorMessage.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

int RunBin(const TArgs& args)
{
    TResources doc;
    if (!LoadOrReport(doc, args)) return ExitRefused;
    if (!doc.SaveToFile(args.Positional[1], kConfigBinary)) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", args.Positional[1].c_str(), doc.ErrorMessage.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

int RunGet(const TArgs& args)
{
    std::vector<std::string> names;
    const std::string& path = args.Positional[1];
    for (size_t i = 0; i <= path.size();) {
        size_t j = path.find_first_of("/\\", i);
        if (j == std::string::npos) j = path.size();
        if (j > i) names.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    if (names.empty()) throw EUsage("give a path such as CfgVehicles/Car/maxSpeed");
    TResources doc;
    if (!LoadOrReport(doc, args)) return ExitRefused;

    const TRClass* cls = doc.RootClass.get();
    const TRMember* found = nullptr;
    for (size_t i = 0; i < names.size(); ++i) {
        found = cls->FindInheritedMember(names[i]);
        if (!found || (i + 1 < names.size() && !found->IsClass())) {
            std::fprintf(stderr, "\"%s\" not found\n", path.c_str());
            return ExitRefused;
        }
        if (found->IsClass()) cls = static_cast<const TRClass*>(found);
    }
    std::string out;
    if (found->IsClass())
        AppendClassText(out, *static_cast<const TRClass*>(found), 0);
    else
        out = static_cast<const TRField*>(found)->ValueText() + "\n";
    return Print(out);
}

int RunStringTable(const TArgs& args)
{
    const std::string& path = args.Positional[0];
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", path.c_str());
        return ExitRefused;
    }
    TMemoryReader stream(bytes.data(), bytes.size());
    const auto table = LoadStringTable(path, stream);
    if (!table) {
        std::fprintf(stderr, "File \"%s\" not loaded!\n", path.c_str());
        return ExitRefused;
    }
    if (args.Has("--json")) {
        nlohmann::ordered_json j;
        j["file"] = ToUtf8(path);
        j["languages"] = nlohmann::ordered_json::array();
        for (const std::string& l : table->Languages) j["languages"].push_back(ToUtf8(l));
        j["rows"] = nlohmann::ordered_json::array();
        for (const auto& row : table->Rows) {
            nlohmann::ordered_json r;
            r["key"] = ToUtf8(row.Key);
            r["cells"] = nlohmann::ordered_json::array();
            for (const std::string& c : row.Cells) r["cells"].push_back(ToUtf8(c));
            j["rows"].push_back(std::move(r));
        }
        PrintJson(j);
        return ExitOk;
    }
    // Texts are printed as read: legacy code pages stay as they are.
    std::string out = "Languages:";
    for (const std::string& l : table->Languages) out += " " + l;
    out += Format("\nRows: %d\n", table->RowCount());
    for (const auto& row : table->Rows) {
        out += row.Key;
        for (const std::string& c : row.Cells) out += "\t" + c;
        out += '\n';
    }
    return Print(out);
}

std::vector<TCommand> ConfigCommands()
{
    return {
        {"config", "preprocess", "FILE [-I DIR]...", "the text the config parser sees, after the preprocessor",
         TArgSpec{{}, {"-I"}, 1, 1}, RunPreprocess},
        {"config", "text", "FILE [OUT] [-I DIR]...",
         "load a config (binarized or text, by extension) and write it as text", TArgSpec{{}, {"-I"}, 1, 2}, RunText},
        {"config", "bin", "FILE OUT [-I DIR]...", "load a config and write it binarized", TArgSpec{{}, {"-I"}, 2, 2},
         RunBin},
        {"config", "get", "FILE Class/Sub/field [-I DIR]...", "a value or class, looked up with inheritance",
         TArgSpec{{}, {"-I"}, 2, 2}, RunGet},
        {"stringtable", "", "FILE [--json]", "languages and rows of a string table",
         TArgSpec{{"--json"}, {}, 1, 1}, RunStringTable},
    };
}

const TCommandRegistrar registrar(ConfigCommands);

}  // namespace

}  // namespace mc::cli
