#include "Core/Strings.h"
#include "Model/Conversion.h"
#include "Model/Model.h"

namespace mc {

namespace {

// An optional sign and decimal digits, within the range of a 32-bit integer.
bool ParseInteger(std::string_view text, int32_t& value)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > int64_t{1} << 31) return false;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

}  // namespace

TProxyName ParseProxyName(std::string_view selectionName, std::string& name, int32_t& id)
{
    constexpr std::string_view kPrefix = "proxy:";
    if (selectionName.size() < kPrefix.size() || !SameText(selectionName.substr(0, kPrefix.size()), kPrefix))
        return TProxyName::NotProxy;
    const std::string_view rest = selectionName.substr(kPrefix.size());
    const size_t dot = rest.find('.');
    const std::string_view proxyName = rest.substr(0, dot);
    const std::string_view number = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    if (proxyName.empty()) return TProxyName::Invalid;
    int32_t value = 0;
    if (!number.empty() && !ParseInteger(number, value)) return TProxyName::Invalid;
    name.assign(proxyName);
    id = value;
    return TProxyName::Valid;
}

void TLODConversion::AddSelectionTag(const std::string& name, std::vector<uint8_t>& bytes)
{
    const size_t np = e_.Points.size(), nf = e_.Faces.size();
    if (bytes.size() < np + nf) return;

    std::string proxyName;
    int32_t proxyId = 0;
    const TProxyName kind = ParseProxyName(name, proxyName, proxyId);
    if (kind == TProxyName::Invalid) return;

    size_t selectedPoints = 0, selectedFaces = 0;
    for (size_t p = 0; p < np; ++p) selectedPoints += bytes[p] != 0;
    for (size_t f = 0; f < nf; ++f) selectedFaces += bytes[np + f] != 0;

    TProxy* proxy = nullptr;
    if (kind == TProxyName::Valid) {
        auto created = std::make_unique<TProxy>(&lod_);
        created->Name = std::move(proxyName);
        created->ProxyId = proxyId;
        created->SelectionIndex = lod_.SelectionCount();
        proxy = created.get();
        lod_.Proxies.push_back(std::move(created));
    }

    auto selection = std::make_unique<TModelComponent>(&lod_);
    selection->Name = name;
    selection->Faces.reserve(selectedFaces);
    selection->Vertices.reserve(selectedPoints);
    // Each selected point contributes one vertex: the one the first selected
    // face that reaches it uses, else its first vertex.
    for (size_t f = 0; f < nf; ++f) {
        if (!bytes[np + f]) continue;
        const TEditableFace& face = e_.Faces[f];
        for (int k = 0; k < face.Count; ++k) {
            const uint32_t p = face.Corners[static_cast<size_t>(k)].Point;
            if (!bytes[p]) continue;
            bytes[p] = 0;
            selection->Vertices.push_back(CornerVertex(f, k));
        }
        selection->Faces.push_back(static_cast<uint16_t>(f));
        if (proxy) lod_.Faces[f].Flags |= FaceFlags::Proxy;
    }
    for (size_t p = 0; p < np; ++p)
        if (bytes[p]) selection->Vertices.push_back(lod_.PointToVertex[p]);

    TModelComponent* added = selection.get();
    lod_.Selections.push_back(std::move(selection));
    added->BindProxy(proxy);
}

}  // namespace mc
