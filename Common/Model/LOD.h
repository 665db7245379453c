// One level of detail of a model, with its named selections and stored
// animation frames.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/Vector3.h"
#include "Model/ModelTypes.h"
#include "Model/Proxy.h"

namespace mc {

class TLOD;
class TModel;

// One section record of an ODOL LOD: a run of faces sharing flags and texture.
struct TOdolSection {
    uint32_t Begin = 0, End = 0, Word = 0;
    uint16_t Texture = kNoTexture;
    uint32_t Flags = 0;
    friend bool operator==(const TOdolSection&, const TOdolSection&) = default;
};

// What an ODOL file stores for a LOD beyond the held form. Kept for a LOD
// read from ODOL so that it is written back exactly as it was read; a LOD
// built by conversion has none and gets computed values.
struct TOdolLODExtras {
    std::vector<uint32_t> VertexFlags;
    std::vector<TOdolSection> Sections;
    uint32_t WordAfterColors = 0;
    // The texture coordinates as stored when they held values the reader
    // cleaned (infinities, not-a-numbers); empty otherwise.
    std::vector<TUV> StoredUVs;
};

// The same for a named selection (record items 3 to 6 and 8).
struct TOdolSelectionExtras {
    uint32_t Word = 0;
    std::vector<uint32_t> Array4;
    uint8_t Byte = 0;
    std::vector<uint32_t> Array6;
    std::vector<uint8_t> Bytes;
};

// Named selection.
class TModelComponent {
public:
    explicit TModelComponent(TLOD* lod) : LOD(lod) {}

    TLOD* LOD;
    TProxy* Proxy = nullptr;  // not owned
    std::string Name;
    std::vector<uint16_t> Faces;
    std::vector<uint16_t> Vertices;
    std::optional<TOdolSelectionExtras> Odol;

    int FaceCount() const { return static_cast<int>(Faces.size()); }
    int VertexCount() const { return static_cast<int>(Vertices.size()); }

    // Binds this selection to proxy p and places p on the selection's first
    // face. A selection without faces keeps no proxy.
    void BindProxy(TProxy* p);
};

// Stored animation frame: one position per vertex.
class TFrame {
public:
    explicit TFrame(TLOD* lod) : LOD(lod) {}
    TLOD* LOD;
    float Time = 0;
    std::vector<Vector3> Positions;

    int PointCount() const { return static_cast<int>(Positions.size()); }
    // The entry text of the frame list: the time as "%.6f".
    std::string TimeText() const;
};

struct TLODTexture {
    std::string Name;
};

class TLOD {
public:
    explicit TLOD(TModel* model) : Model(model) {}
    ~TLOD();
    TLOD(const TLOD&) = delete;
    TLOD& operator=(const TLOD&) = delete;

    TModel* Model;
    float Resolution = 0;

    std::vector<Vector3> Positions;
    std::vector<Vector3> Normals;  // held negated with respect to the files
    std::vector<TUV> UVs;
    std::vector<TFace> Faces;
    std::vector<TLODTexture> Textures;
    std::vector<std::unique_ptr<TModelComponent>> Selections;
    std::vector<std::string> PropertyNames;
    std::vector<std::string> PropertyValues;
    std::vector<std::unique_ptr<TProxy>> Proxies;
    std::vector<std::unique_ptr<TFrame>> Frames;

    uint32_t ColorWord1 = 0xFF000000, ColorWord2 = 0xFF000000;
    Vector3 LODVectors[4] = {};

    std::vector<uint16_t> PointToVertex;  // first vertex of each point
    std::vector<uint16_t> VertexToPoint;  // point of each vertex
    std::vector<float> Masses;            // per point; only the Geometry LOD has them

    std::optional<TOdolLODExtras> Odol;

    // Animation backups, between the begin and the end of an animation:
    // positions and normals per vertex, a usage counter per point.
    std::vector<Vector3> AnimPositions, AnimNormals;
    std::vector<uint8_t> AnimUsage;

    // View selection state, allocated on first use.
    bool SelectionReady = false;
    std::vector<uint8_t> VertexSelected, FaceSelected, ComponentSelected;

    int VertexCount() const { return static_cast<int>(Positions.size()); }
    int FaceCount() const { return static_cast<int>(Faces.size()); }
    int PointCount() const { return static_cast<int>(PointToVertex.size()); }
    int NormalCount() const { return static_cast<int>(Normals.size()); }
    int UVCount() const { return static_cast<int>(UVs.size()); }
    int TextureCount() const { return static_cast<int>(Textures.size()); }

    std::string Name() const;
    bool IsSpecial() const;

    Vector3 Position(int i) const { return Positions.at(static_cast<size_t>(i)); }
    Vector3 Normal(int i) const { return Normals.at(static_cast<size_t>(i)); }
    TFace Face(int i) const { return Faces.at(static_cast<size_t>(i)); }

    int SelectionCount() const { return static_cast<int>(Selections.size()); }
    TModelComponent* Selection(int i) const;
    // Case-insensitive; nullptr when absent.
    TModelComponent* SelectionByName(std::string_view name) const;
    int ProxyCount() const { return static_cast<int>(Proxies.size()); }
    TProxy* Proxy(int i) const;
    int FrameCount() const { return static_cast<int>(Frames.size()); }
    TFrame* Frame(int i) const;

    // Named properties (names compared without regard to case).
    int FindProperty(std::string_view name) const;
    std::string PropertyValue(std::string_view name) const;
    void AddProperty(std::string name, std::string value);
    // Stores the given name and value at the index of name.
    void ChangeProperty(const std::string& name, std::string value);
    void RenameProperty(std::string_view oldName, std::string newName);
    void DeleteProperty(std::string_view name);

    // View selection state.
    void PrepareSelection();
    bool IsVertexSelected(int v) const;
    bool IsFaceSelected(int f) const;
    void SelectVertex(int v);
    void SelectFace(int f);
    void SelectComponent(int s);
    void ClearSelection();
};

}  // namespace mc
