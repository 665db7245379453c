#include "TextureManager.h"

#include <algorithm>
#include <exception>

#include "Core/AppServices.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoader.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

std::vector<const TTextureManager*>& LiveManagers()
{
    static std::vector<const TTextureManager*> managers;
    return managers;
}

}  // namespace

TPixelLayout PixelLayoutFor(uint16_t type)
{
    switch (CanonicalTextureType(type)) {
    case kTextureTypeDXT1: return TPixelLayout::Dxt1;
    case kTextureTypeDXT2: return TPixelLayout::Dxt2;
    case kTextureTypeDXT3: return TPixelLayout::Dxt3;
    case kTextureTypeDXT4: return TPixelLayout::Dxt4;
    case kTextureTypeDXT5: return TPixelLayout::Dxt5;
    case kTextureTypeAL88: return TPixelLayout::LuminanceAlpha8;
    case kTextureTypeARGB8888: return TPixelLayout::Bgra8;
    case kTextureTypeARGB1555: return TPixelLayout::Argb1555;
    case kTextureTypeARGB4444: return TPixelLayout::Argb4444;
    case kTextureTypePAL8: return TPixelLayout::Palette8;
    default: return TPixelLayout::None;
    }
}

TSurfaceDesc SurfaceDescFor(const TTexture& texture)
{
    TSurfaceDesc desc;
    const TMipMap* first = texture.Level(0);
    if (!first) return desc;
    desc.Layout = PixelLayoutFor(first->MipType);
    desc.Width = first->Width;
    desc.Height = first->Height;
    desc.MipMapCount = texture.LevelCount();
    return desc;
}

TDirect3DTexture3::TDirect3DTexture3(ITextureDevice& device, std::unique_ptr<TTexture> texture)
    : SourceTexture(std::move(texture)), device_(device)
{
}

TDirect3DTexture3::~TDirect3DTexture3()
{
    if (surface_) device_.ReleaseSurface(surface_);
}

void TDirect3DTexture3::CreateSurface()
{
    if (surface_) device_.ReleaseSurface(surface_);
    surface_ = 0;
    UploadFailed = false;
    if (!SourceTexture) return;
    SurfaceDesc = SurfaceDescFor(*SourceTexture);
    if (SurfaceDesc.Layout == TPixelLayout::None) return;
    surface_ = device_.CreateSurface(*SourceTexture, SurfaceDesc, UploadFailed);
}

void TDirect3DTexture3::RestoreSurface()
{
    if (!surface_) CreateSurface();
}

std::unique_ptr<TDirect3DTexture3> LoadDeviceTexture(ITextureDevice& device, const TTextureSource& source,
                                                     const std::string& name, uint32_t options)
{
    if (!IsTextureFileName(name) || !source) return nullptr;
    ShowStatus(Format("Texture \"%s\" loading...", name.c_str()));
    std::unique_ptr<TTexture> texture;
    try {
        if (std::unique_ptr<TStream> stream = source(name))
            texture = LoadTextureFromStream(*stream, options | TextureLoad::DeviceMode);
    } catch (const std::exception& e) {
        AddLog(Format("Cannot load texture \"%s\": %s", name.c_str(), e.what()));
        texture.reset();
    }
    HideStatus();
    if (!texture || texture->LevelCount() == 0) return nullptr;
    if (texture->Level(0)->MipType == kTextureTypePAL8 && texture->Palette.empty()) {
        AddLog(Format("Cannot load texture \"%s\": palette texture without palette entries", name.c_str()));
        return nullptr;
    }
    auto deviceTexture = std::make_unique<TDirect3DTexture3>(device, std::move(texture));
    deviceTexture->CreateSurface();
    return deviceTexture;
}

TTextureManager::TTextureManager(ITextureDevice& device, TTextureSource source)
    : device_(device), source_(std::move(source))
{
    LiveManagers().push_back(this);
    SetDeviceCapabilities(device_.Capabilities());
}

TTextureManager::~TTextureManager()
{
    ReleaseAll();
    auto& live = LiveManagers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

bool TTextureManager::IsRegistered(const TTextureManager* manager)
{
    const auto& live = LiveManagers();
    return manager && std::find(live.begin(), live.end(), manager) != live.end();
}

int TTextureManager::IndexOf(const std::string& name) const
{
    const std::string key = LowerCase(name);
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const auto& entry, const std::string& k) { return entry.first < k; });
    return it != entries_.end() && it->first == key ? int(it - entries_.begin()) : -1;
}

TDirect3DTexture3* TTextureManager::AcquireTexture(const std::string& name, uint32_t options)
{
    if (name.empty()) return nullptr;
    int index = IndexOf(name);
    if (index < 0) {
        std::unique_ptr<TDirect3DTexture3> texture = LoadDeviceTexture(device_, source_, name, options);
        if (!texture) AddLog(Format("Cannot load texture \"%s\"", name.c_str()));
        const std::string key = LowerCase(name);
        auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                   [](const auto& entry, const std::string& k) { return entry.first < k; });
        it = entries_.insert(it, {key, std::move(texture)});
        index = int(it - entries_.begin());
    }
    TDirect3DTexture3* texture = entries_[size_t(index)].second.get();
    if (texture) ++texture->RefCount;
    return texture;
}

void TTextureManager::ReleaseTexture(int index)
{
    if (index < 0 || index >= Count()) return;
    auto& entry = entries_[size_t(index)];
    if (entry.second) {
        if (--entry.second->RefCount > 0) return;
        if (entry.second.get() == current_) BindTexture(0, nullptr);
    }
    entries_.erase(entries_.begin() + index);
}

void TTextureManager::ReleaseTextureByName(const std::string& name)
{
    if (name.empty()) return;
    ReleaseTexture(IndexOf(name));
}

void TTextureManager::ReleaseAll()
{
    while (!entries_.empty()) ReleaseTexture(0);
}

void TTextureManager::ReleaseList(std::vector<std::pair<std::string, TDirect3DTexture3*>>& list)
{
    if (!IsRegistered(this)) return;
    for (auto& [name, texture] : list) {
        if (!texture) continue;
        ReleaseTextureByName(name);
        texture = nullptr;
    }
}

int TTextureManager::BindTexture(int stage, TDirect3DTexture3* texture)
{
    if (texture == current_) return 0;
    if (current_) device_.SetTexture(stage, 0);
    current_ = texture;
    if (texture && texture->Surface()) return device_.SetTexture(stage, texture->Surface());
    return 0;
}

void TTextureManager::UnbindTexture(int stage)
{
    if (current_) device_.SetTexture(stage, 0);
    current_ = nullptr;
}

}  // namespace mc
