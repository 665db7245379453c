#include "Config/ConfigBinary.h"

#include <cstring>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "Config/ConfigClass.h"
#include "Config/ConfigData.h"
#include "Config/Resources.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

constexpr int kMaxNesting = 256;

// A refusal of the binarized reader or writer.
class EBinaryFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBinaryReader {
public:
    TBinaryReader(TResources& doc, const uint8_t* data, size_t size, int64_t start)
        : doc_(doc), data_(data), size_(size), start_(start)
    {
    }

    TConfigBinaryResult Read();
    int64_t Position() const { return start_ + static_cast<int64_t>(pos_); }

private:
    uint8_t Byte()
    {
        if (pos_ >= size_) throw EReadError();
        return data_[pos_++];
    }
    uint32_t Cardinal()
    {
        if (size_ - pos_ < 4) throw EReadError();
        uint32_t v = 0;
        std::memcpy(&v, data_ + pos_, 4);
        pos_ += 4;
        return v;
    }
    int32_t Integer() { return static_cast<int32_t>(Cardinal()); }
    float Single()
    {
        const uint32_t bits = Cardinal();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    uint32_t Compact()
    {
        const uint8_t b0 = Byte();
        if (b0 < 0x80) return b0;
        return (b0 & 0x7Fu) + static_cast<uint32_t>(Byte()) * 128u;
    }
    std::string_view ZString()
    {
        const void* nul = std::memchr(data_ + pos_, 0, size_ - pos_);
        if (!nul) throw EReadError();
        const size_t end = static_cast<size_t>(static_cast<const uint8_t*>(nul) - data_);
        std::string_view s(reinterpret_cast<const char*>(data_ + pos_), end - pos_);
        pos_ = end + 1;
        return s;
    }
    std::string_view Pooled()
    {
        const uint32_t i = Compact();
        if (i < pool_.size()) return pool_[i];
        if (i > pool_.size()) throw EBinaryFormat("string expected");
        pool_.push_back(ZString());
        return pool_.back();
    }

    void ReadClassRest(TRClass& cls, int depth);
    void ReadValue(TRData& value, int depth);

    TResources& doc_;
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    int64_t start_;
    std::vector<std::string_view> pool_;
};

TConfigBinaryResult TBinaryReader::Read()
{
    if (Cardinal() != kConfigBinarySignature) {
        if (LowerExt(doc_.FileName) == ".sqm") return TConfigBinaryResult::NotBinarized;
        throw EBinaryFormat("signature mismatch");
    }
    const uint32_t version = Cardinal();
    if (version < 2) {
        // Later games write 0 here, then 8 and the offset of the enumerations.
        const char* later = version == 0 ? ": the layout of a later game's binarized configs, not supported" : "";
        throw EBinaryFormat(Format("unsupported version %u (2 or later expected)%s", version, later));
    }
    doc_.Version = version;
    doc_.ClearEnums();
    pool_.clear();

    TRClass& root = *doc_.RootClass;
    root.Name = std::string(Pooled());
    root.Owner = nullptr;
    root.TreeNode = root.TreeNodeExtra = nullptr;
    const std::string_view base = ZString();
    if (!base.empty()) throw EBinaryFormat(Format("parent class \"%s\" not found", std::string(base).c_str()));
    ReadClassRest(root, 0);

    const int32_t count = Integer();
    if (count < 0) throw EBinaryFormat(Format("enumeration count %d out of range", count));
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view name = ZString();
        const int32_t value = Integer();
        if (!doc_.AddEnum(std::string(name), value))
            throw EBinaryFormat(Format("enumeration member \"%s\" already defined", std::string(name).c_str()));
    }
    if (count > 0) doc_.ResolveEnums();
    if (pos_ != size_)
        throw EBinaryFormat(Format("end position mismatch: 0x%08llX, file size: 0x%08llX",
                                   static_cast<unsigned long long>(Position()),
                                   static_cast<unsigned long long>(start_ + static_cast<int64_t>(size_))));
    pool_.clear();
    return TConfigBinaryResult::Loaded;
}

// The member count and the members; the class's name was read and the class
// is in its owner's list under that name already.
void TBinaryReader::ReadClassRest(TRClass& cls, int depth)
{
    const uint32_t count = Compact();
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t kind = Byte();
        switch (kind) {
        case 0: {
            if (depth + 1 >= kMaxNesting) throw EBinaryFormat(Format("classes nested deeper than %d", kMaxNesting));
            auto* sub = static_cast<TRClass*>(cls.AddMember(std::make_unique<TRClass>(std::string(Pooled()))));
            const std::string_view baseName = ZString();
            if (!baseName.empty()) {
                TRClass* base = cls.FindClass(LowerCase(baseName));
                if (!base) throw EBinaryFormat(Format("parent class \"%s\" not found", std::string(baseName).c_str()));
                if (base == sub)
                    throw EBinaryFormat(Format("class \"%s\" cannot inherit from itself", sub->Name.c_str()));
                sub->Base = base;
            }
            ReadClassRest(*sub, depth + 1);
            break;
        }
        case 1: {
            const uint8_t type = Byte();
            const std::string_view name = Pooled();
            if (type > kTypeInteger) throw EBinaryFormat(Format("unknown value type (0x%02X)", type));
            auto value = NewConfigValue(type);
            ReadValue(*value, depth);
            cls.AddMember(std::make_unique<TRField>(std::string(name), std::move(value)));
            break;
        }
        case 2: {
            const std::string_view name = Pooled();
            auto value = std::make_unique<TRArray>();
            ReadValue(*value, depth);
            cls.AddMember(std::make_unique<TRField>(std::string(name), std::move(value)));
            break;
        }
        default:
            throw EBinaryFormat(Format("unknown member kind (0x%02X)", kind));
        }
    }
}

void TBinaryReader::ReadValue(TRData& value, int depth)
{
    switch (value.TypeCode()) {
    case kTypeString:
        static_cast<TRString&>(value).SetText(std::string(Pooled()));
        break;
    case kTypeFloat:
        static_cast<TRNumber&>(value).Value = Single();
        break;
    case kTypeInteger:
        static_cast<TRInteger&>(value).Value = Integer();
        break;
    default: {
        if (depth >= kMaxNesting) throw EBinaryFormat(Format("arrays nested deeper than %d", kMaxNesting));
        auto& array = static_cast<TRArray&>(value);
        const uint32_t count = Compact();
        // Every element takes at least two bytes.
        array.Elements.reserve(std::min<size_t>(count, (size_ - pos_) / 2));
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t type = Byte();
            auto element = NewConfigValue(type);
            if (!element) throw EBinaryFormat(Format("unknown value type (0x%02X)", type));
            ReadValue(*element, depth + 1);
            array.Add(std::move(element));
        }
        break;
    }
    }
}

// ---------------------------------------------------------------- writer

class TBinaryWriter {
public:
    explicit TBinaryWriter(std::vector<uint8_t>& out) : out_(out) {}

    void Write(const TResources& doc);

private:
    void Byte(uint8_t b) { out_.push_back(b); }
    void Cardinal(uint32_t v)
    {
        uint8_t b[4];
        std::memcpy(b, &v, 4);
        out_.insert(out_.end(), b, b + 4);
    }
    void Compact(uint32_t v, const char* what)
    {
        if (v > kMaxCompactNumber)
            throw EBinaryFormat(Format("%s %u does not fit the binarized form (at most %u)", what, v, kMaxCompactNumber));
        AppendCompactNumber(out_, v);
    }
    void ZString(std::string_view s)
    {
        if (s.find('\0') != std::string_view::npos)
            throw EBinaryFormat("a name or string holds a NUL character, which the binarized form cannot keep");
        out_.insert(out_.end(), s.begin(), s.end());
        out_.push_back(0);
    }
    void Pooled(std::string_view s)
    {
        if (!first_) {
            const auto it = index_.find(s);
            if (it != index_.end()) {
                Compact(it->second, "string pool index");
                return;
            }
        }
        const uint32_t i = poolSize_++;
        Compact(i, "string pool index");
        // The first string (the root's name) is not looked up later.
        if (!first_) index_.emplace(s, i);
        first_ = false;
        ZString(s);
    }
    void ClassBody(const TRClass& cls);
    void Value(const TRData& value);

    std::vector<uint8_t>& out_;
    std::unordered_map<std::string_view, uint32_t> index_;
    uint32_t poolSize_ = 0;
    bool first_ = true;
};

void TBinaryWriter::Write(const TResources& doc)
{
    Cardinal(kConfigBinarySignature);
    Cardinal(doc.Version);
    ClassBody(*doc.RootClass);
    Cardinal(static_cast<uint32_t>(doc.EnumTable.size()));
    for (const auto& e : doc.EnumTable) {
        ZString(e.Name);
        Cardinal(static_cast<uint32_t>(e.Value->Value));
    }
}

void TBinaryWriter::ClassBody(const TRClass& cls)
{
    Pooled(cls.Name);
    if (cls.Base)
        ZString(cls.Base->Name);
    else
        Byte(0);
    Compact(static_cast<uint32_t>(cls.MemberCount()), "member count");
    for (const auto& m : cls.Members()) {
        if (m->IsClass()) {
            Byte(0);
            ClassBody(static_cast<const TRClass&>(*m));
            continue;
        }
        const auto& f = static_cast<const TRField&>(*m);
        const TRString empty;
        const TRData& value = f.Value ? static_cast<const TRData&>(*f.Value) : static_cast<const TRData&>(empty);
        if (value.IsArray()) {
            Byte(2);
        } else {
            Byte(1);
            Byte(value.TypeCode());
        }
        Pooled(f.Name);
        Value(value);
    }
}

void TBinaryWriter::Value(const TRData& value)
{
    switch (value.TypeCode()) {
    case kTypeString:
        Pooled(static_cast<const TRString&>(value).Text);
        break;
    case kTypeFloat: {
        const float f = static_cast<const TRNumber&>(value).Value;
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Cardinal(bits);
        break;
    }
    case kTypeInteger:
        Cardinal(static_cast<uint32_t>(static_cast<const TRInteger&>(value).Value));
        break;
    default: {
        const auto& array = static_cast<const TRArray&>(value);
        Compact(static_cast<uint32_t>(array.Elements.size()), "array element count");
        for (const auto& e : array.Elements) {
            Byte(e->TypeCode());
            Value(*e);
        }
        break;
    }
    }
}

}  // namespace

void AppendCompactNumber(std::vector<uint8_t>& out, uint32_t value)
{
    if (value < 0x80) {
        out.push_back(static_cast<uint8_t>(value));
    } else {
        out.push_back(static_cast<uint8_t>((value & 0x7F) | 0x80));
        out.push_back(static_cast<uint8_t>((value >> 7) & 0xFF));
    }
}

TConfigBinaryResult ReadConfigBinary(TResources& doc, TStream& stream)
{
    const int64_t start = stream.Position();
    size_t available = 0;
    const uint8_t* data = stream.View(available);
    std::vector<uint8_t> owned;
    if (!data) {
        owned.resize(static_cast<size_t>(stream.Remaining()));
        if (!owned.empty()) ReadBuffer(stream, owned.data(), owned.size());
        stream.Seek(start);
        data = owned.data();
        available = owned.size();
    }
    TBinaryReader reader(doc, data, available, start);
    try {
        const TConfigBinaryResult r = reader.Read();
        if (r == TConfigBinaryResult::Loaded) stream.Seek(reader.Position());
        return r;
    } catch (const EBinaryFormat& e) {
        doc.SetError(Format("%s, stream pos: 0x%08llX", e.what(), static_cast<unsigned long long>(reader.Position())));
    } catch (const EReadError& e) {
        doc.SetError(e.what());
    }
    return TConfigBinaryResult::Failed;
}

bool WriteConfigBinary(const TResources& doc, std::vector<uint8_t>& out, std::string& error)
{
    out.clear();
    try {
        TBinaryWriter(out).Write(doc);
        return true;
    } catch (const EBinaryFormat& e) {
        error = e.what();
        out.clear();
        return false;
    }
}

}  // namespace mc
