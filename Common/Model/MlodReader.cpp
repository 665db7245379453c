#include <bit>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "Core/AppServices.h"
#include "Core/LoadResult.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Model/Conversion.h"
#include "Model/DerivedData.h"
#include "Model/Mlod.h"
#include "Model/Model.h"

namespace mc {

static_assert(std::endian::native == std::endian::little, "the file's blocks are decoded in place");

namespace {

constexpr uint64_t kPointBytes = 16;
constexpr uint64_t kNormalBytes = 12;
constexpr uint64_t kFaceBytes = 104;
constexpr size_t kTextureNameWidth = 32;
constexpr size_t kCornerBytes = 16;
constexpr size_t kFaceCornersOffset = kTextureNameWidth + 4;
constexpr uint32_t kPropertyBytes = 128;
// The least a LOD record occupies: header, "TAGG", the "#EndOfFile#" tag and
// the resolution.
constexpr uint64_t kMinLODBytes = 7 * 4 + 4 + 64 + 4 + 4;

uint32_t U32At(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

float F32At(const uint8_t* p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}


// The next count bytes of the stream: seen in place in a memory stream, else
// read into scratch. Raises EReadError when they are not there.
const uint8_t* ReadBlock(TStream& s, size_t count, std::vector<uint8_t>& scratch)
{
    RequireRemaining(s, count);
    size_t available = 0;
    const uint8_t* view = s.View(available);
    if (view && available >= count) {
        if (!s.Seek(s.Position() + static_cast<int64_t>(count))) throw EReadError();
        return view;
    }
    scratch.resize(count);
    ReadBuffer(s, scratch.data(), count);
    return scratch.data();
}

// The faces' texture names, lower-cased, as entries of the LOD's Textures.
class TTextureNames {
public:
    explicit TTextureNames(TLOD& lod) : lod_(lod) {}

    // False when the LOD already has as many textures as a face can index.
    bool Index(std::string_view raw, uint16_t& index)
    {
        if (hasLast_ && raw == last_) {
            index = lastIndex_;
            return true;
        }
        std::string name = LowerCase(raw);
        auto it = indexOf_.find(name);
        if (it == indexOf_.end()) {
            if (lod_.Textures.size() >= kNoTexture) return false;
            it = indexOf_.emplace(name, static_cast<uint16_t>(lod_.Textures.size())).first;
            lod_.Textures.push_back({std::move(name)});
        }
        last_.assign(raw);
        lastIndex_ = index = it->second;
        hasLast_ = true;
        return true;
    }

private:
    TLOD& lod_;
    std::unordered_map<std::string, uint16_t> indexOf_;
    std::string last_;
    uint16_t lastIndex_ = 0;
    bool hasLast_ = false;
};

bool ReadFaces(TLOD& lod, TEditableLOD& e, const uint8_t* data, size_t faceCount)
{
    const size_t np = e.Points.size();
    TTextureNames textures(lod);
    e.Faces.resize(faceCount);
    for (size_t f = 0; f < faceCount; ++f) {
        const uint8_t* record = data + f * kFaceBytes;
        TEditableFace& face = e.Faces[f];

        const auto* name = reinterpret_cast<const char*>(record);
        const auto* end = static_cast<const char*>(std::memchr(name, 0, kTextureNameWidth));
        const size_t length = end ? static_cast<size_t>(end - name) : kTextureNameWidth;
        if (!textures.Index(std::string_view(name, length), face.Texture)) {
            AddLog(Format("LOD too large: more than %u textures", static_cast<unsigned>(kNoTexture)));
            return false;
        }

        const uint32_t count = U32At(record + kTextureNameWidth);
        if (count != 3 && count != 4) {
            AddLog(Format("Polygon %zu has %u corners: only 3 or 4 are possible", f, count));
            return false;
        }
        face.Count = static_cast<uint8_t>(count);
        for (size_t k = 0; k < count; ++k) {
            const uint8_t* c = record + kFaceCornersOffset + k * kCornerBytes;
            TEditableCorner& corner = face.Corners[k];
            corner.Point = U32At(c);
            corner.Normal = U32At(c + 4);
            corner.U = F32At(c + 8);
            corner.V = F32At(c + 12);
            if (!IsFinite(corner.U)) corner.U = 0;
            if (!IsFinite(corner.V)) corner.V = 0;
            if (corner.Point >= np) return false;
        }
        // The face flags that follow the corners are not kept.
    }
    return true;
}

}  // namespace

bool ReadMlodLOD(TLOD& lod, TStream& s, TTextureFlagCache* textureFlags)
{
    const uint32_t signature = ReadCardinal(s);
    if (signature != kSignatureSP3X) {
        // A later game's LOD gets its own reason, in the refusal's one line.
        if (signature == kSignatureP3DM) throw EUnsupportedFormat("editable model of a later game (P3DM), not supported");
        AddLog("LOD signature mismatch");
        return false;
    }
    if (ReadCardinal(s) != kSp3xMajorVersion) {
        AddLog("LOD major version mismatch");
        return false;
    }
    if (ReadCardinal(s) != kSp3xMinorVersion) {
        AddLog("LOD minor version mismatch");
        return false;
    }
    const uint32_t np = ReadCardinal(s);
    const uint32_t nn = ReadCardinal(s);
    const uint32_t nf = ReadCardinal(s);
    ReadCardinal(s);  // LOD flags
    RequireRemaining(s, np * kPointBytes + nn * kNormalBytes + nf * kFaceBytes);
    if (np > kMaxHeldIndexCount || nf > kMaxHeldIndexCount) {
        AddLog(np > kMaxHeldIndexCount ? Format("LOD too large: %u points, at most %zu can be indexed", np, kMaxHeldIndexCount)
                                       : Format("LOD too large: %u faces, at most %zu can be indexed", nf, kMaxHeldIndexCount));
        return false;
    }

    TEditableLOD e;
    std::vector<uint8_t> scratch;
    const uint8_t* data = ReadBlock(s, np * kPointBytes, scratch);
    e.Points.resize(np);
    e.PointFlags.resize(np);
    for (size_t i = 0; i < np; ++i) {
        std::memcpy(&e.Points[i], data + i * kPointBytes, sizeof(Vector3));
        e.PointFlags[i] = U32At(data + i * kPointBytes + 12);
    }
    data = ReadBlock(s, nn * kNormalBytes, scratch);
    e.Normals.resize(nn);
    if (nn) std::memcpy(e.Normals.data(), data, nn * kNormalBytes);
    for (Vector3& n : e.Normals) n = -n;

    data = ReadBlock(s, nf * kFaceBytes, scratch);
    if (!ReadFaces(lod, e, data, nf)) return false;

    TLODConversion conversion(lod, e, textureFlags);
    if (!conversion.Convert()) return false;

    if (ReadCardinal(s) != kSignatureTAGG) return false;
    bool massRead = false;
    std::vector<uint8_t> selectionBytes;
    for (;;) {
        const std::string name = ReadString64(s);
        const uint32_t size = ReadCardinal(s);
        if (name == "#EndOfFile#") break;
        if (name == "#Property#") {
            if (size % kPropertyBytes != 0) return false;
            RequireRemaining(s, size);
            for (uint32_t i = 0; i < size / kPropertyBytes; ++i) {
                std::string property = ReadString64(s);
                std::string value = ReadString64(s);
                lod.AddProperty(std::move(property), std::move(value));
            }
        } else if (name == "#Mass#") {
            if (size != uint64_t{np} * 4) return false;
            data = ReadBlock(s, size, scratch);
            lod.Masses.resize(np);
            if (np) std::memcpy(lod.Masses.data(), data, size);
            massRead = true;
        } else if (IsTagName(name)) {  // no data the held form keeps, or a later tool's tag
            SkipBytes(s, size);
        } else {
            if (size != uint64_t{np} + nf) return false;
            RequireRemaining(s, size);
            selectionBytes.resize(size);
            ReadBuffer(s, selectionBytes.data(), size);
            conversion.AddSelectionTag(name, selectionBytes);
        }
    }

    lod.Resolution = ReadSingle(s);
    if (IsGeometryResolution(lod.Resolution) && !massRead) return false;
    lod.ColorWord1 = lod.ColorWord2 = 0xFF000000;
    for (Vector3& v : lod.LODVectors) v = {};
    return true;
}

bool ReadMlodBody(TModel& model, TStream& s, ITextureHeaderSource* headers)
{
    const uint32_t count = ReadCardinal(s);
    if (uint64_t{count} * kMinLODBytes > static_cast<uint64_t>(s.Remaining())) return false;
    TTextureFlagCache textureFlags;
    textureFlags.Headers = headers;
    for (uint32_t i = 0; i < count; ++i) {
        auto lod = std::make_unique<TLOD>(&model);
        if (!ReadMlodLOD(*lod, s, &textureFlags)) return false;
        model.LODs.push_back(std::move(lod));
    }
    // Files of the game's era end with a 32-byte text field.
    if (s.Remaining() > 0) ReadString32(s);
    CompleteConvertedModel(model);
    return true;
}

}  // namespace mc
