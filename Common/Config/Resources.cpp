#include "Config/Resources.h"

#include "Config/ConfigBinary.h"
#include "Config/ConfigTextReader.h"
#include "Config/ConfigTextWriter.h"
#include "Config/CppParser.h"
#include "Config/IncludeFiles.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

bool IsTextExtension(const std::string& ext)
{
    return ext == ".cpp" || ext == ".cfg" || ext == ".ext" || ext == ".sqc" || ext == ".txt" || ext == ".i" ||
           ext == ".inc";
}

// IncludeFiles for the lifetime of the object.
class TIncludeScope {
public:
    explicit TIncludeScope(TResources& doc) : doc_(doc) { doc_.IncludeFiles = true; }
    ~TIncludeScope() { doc_.IncludeFiles = false; }

private:
    TResources& doc_;
};

}  // namespace

std::string ConfigRootName(std::string_view fileName)
{
    const size_t sep = fileName.find_last_of("\\/:");
    return std::string(sep == std::string_view::npos ? fileName : fileName.substr(sep + 1));
}

TResources::TResources() : RootClass(std::make_unique<TRClass>(std::string())) {}

TResources::~TResources() = default;

void TResources::SetError(std::string message)
{
    if (HasError) return;
    HasError = true;
    ErrorMessage = std::move(message);
}

void TResources::ClearError()
{
    HasError = false;
    ErrorMessage.clear();
}

int TResources::FindEnum(std::string_view name) const
{
    if (enumIndex_.empty()) return -1;
    const auto it = enumIndex_.find(LowerCase(name));
    return it == enumIndex_.end() ? -1 : it->second;
}

bool TResources::AddEnum(std::string name, int32_t value)
{
    if (!enumIndex_.try_emplace(LowerCase(name), static_cast<int>(EnumTable.size())).second) return false;
    EnumTable.push_back({std::move(name), std::make_unique<TRInteger>(value)});
    return true;
}

void TResources::ClearEnums()
{
    EnumTable.clear();
    enumIndex_.clear();
}

void TResources::ResolveEnums()
{
    std::vector<TRClass*> pending{RootClass.get()};
    while (!pending.empty()) {
        TRClass* k = pending.back();
        pending.pop_back();
        for (const auto& m : k->Members()) {
            if (m->IsClass())
                pending.push_back(static_cast<TRClass*>(m.get()));
            else if (auto* f = static_cast<TRField*>(m.get()); f->Value)
                f->Value->ResolveEnum(*this);
        }
    }
}

bool TResources::LoadFromFile(const std::string& fileName)
{
    ClearError();
    FileName = fileName;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        SetError(Format("cannot open file \"%s\"", fileName.c_str()));
        return false;
    }
    TMemoryReader stream(bytes.data(), bytes.size());
    TIncludeScope includes(*this);
    const std::string ext = LowerExt(fileName);
    if (IsTextExtension(ext)) return LoadText(fileName, stream);
    return LoadBinary(fileName, stream);
}

namespace {

// The document as the text reader fills it.
class TTextTarget final : public IConfigTextTarget {
public:
    explicit TTextTarget(TResources& document) : doc_(document) {}
    TRClass& Root() override { return *doc_.RootClass; }
    bool AddEnum(std::string name, int32_t value) override { return doc_.AddEnum(std::move(name), value); }
    void ResolveEnum(TRString& word) override { word.ResolveEnum(doc_); }

private:
    TResources& doc_;
};

}  // namespace

bool TResources::LoadText(const std::string& fileName, TStream& stream)
{
    ClearError();
    FileName = fileName;
    FileKind = kConfigText;
    Version = 2;
    ClearEnums();
    TCppParser parser(stream);
    parser.IncludesAllowed = IncludeFiles;
    parser.SourceFolder = FolderOf(fileName);
    parser.IncludeFolders = IncludeFolders;
    RootClass->Name = ConfigRootName(fileName);
    TTextTarget target(*this);
    const std::string error = TConfigTextReader(target, parser).Read();
    if (!error.empty()) SetError(error);
    return !HasError;
}

bool TResources::LoadBinary(const std::string& fileName, TStream& stream)
{
    ClearError();
    FileName = fileName;
    FileKind = kConfigBinary;
    const int64_t start = stream.Position();
    const TConfigBinaryResult r = ReadConfigBinary(*this, stream);
    if (r == TConfigBinaryResult::NotBinarized) {
        if (LowerExt(fileName) == ".sqm" && stream.Seek(start)) return LoadText(fileName, stream);
    }
    return !HasError;
}

bool TResources::WriteBinary(TStream& stream)
{
    ClearError();
    std::vector<uint8_t> bytes;
    std::string error;
    if (!WriteConfigBinary(*this, bytes, error)) {
        SetError(error);
        return false;
    }
    WriteBuffer(stream, bytes.data(), bytes.size());
    IsModified = false;
    return true;
}

void TResources::AppendText(std::string& out)
{
    if (!EnumTable.empty()) {
        for (const TEnumEntry& e : EnumTable) {
            if (e.Name.empty()) continue;
            out += "#define ";
            out += e.Name;
            out += ' ';
            e.Value->AppendText(out);
            out += "\r\n";
        }
        out += "\r\n";
    }
    AppendMembersText(out, *RootClass, IndentLevel);
}

void TResources::WriteText(TStream& stream)
{
    std::string out;
    AppendText(out);
    mc::WriteText(stream, out);
    IsModified = false;
}

bool TResources::SaveToFile(const std::string& fileName, int kind)
{
    ClearError();
    std::string error;
    bool written = false;
    const bool saved = SaveFileSafely(
        fileName,
        [&](TStream& s) {
            if (kind == kConfigBinary) {
                written = WriteBinary(s);
                return written;
            }
            WriteText(s);
            written = true;
            return true;
        },
        &error);
    if (!saved) {
        if (written || !HasError) SetError(Format("cannot create file \"%s\"", fileName.c_str()));
        return false;
    }
    FileKind = kind == kConfigBinary ? kConfigBinary : kConfigText;
    FileName = fileName;
    IsModified = false;
    return true;
}

}  // namespace mc
