// Device textures by name: a cache per 3D device with reference counts, and
// the texture currently bound to the device's first stage.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TextureDevice.h"
#include "Texture/TextureLoadOptions.h"

namespace mc {

class TStream;
class TTexture;

// A device texture made from a texture loaded in device mode.
class TDirect3DTexture3 {
public:
    TDirect3DTexture3(ITextureDevice& device, std::unique_ptr<TTexture> texture);
    ~TDirect3DTexture3();
    TDirect3DTexture3(const TDirect3DTexture3&) = delete;
    TDirect3DTexture3& operator=(const TDirect3DTexture3&) = delete;

    std::unique_ptr<TTexture> SourceTexture;
    int32_t RefCount = 0;
    TSurfaceDesc SurfaceDesc;
    bool UploadFailed = false;

    // Makes the surface (again) and uploads all levels.
    void CreateSurface();
    // Makes the surface when there is none.
    void RestoreSurface();
    uint32_t Surface() const { return surface_; }

private:
    ITextureDevice& device_;
    uint32_t surface_ = 0;
};

// The bytes of a texture file by game path, or none.
using TTextureSource = std::function<std::unique_ptr<TStream>(const std::string& name)>;

// Loads a device texture: the name must have a texture file extension and the
// source must give its bytes; the texture is read with the options plus device
// mode. A palette texture without palette entries is refused with a log line.
// Shows "Texture "%s" loading..." while it works.
std::unique_ptr<TDirect3DTexture3> LoadDeviceTexture(ITextureDevice& device, const TTextureSource& source,
                                                     const std::string& name, uint32_t options);

class TTextureManager {
public:
    // Registers the manager and sets the program's device capabilities from
    // the device.
    TTextureManager(ITextureDevice& device, TTextureSource source);
    ~TTextureManager();
    TTextureManager(const TTextureManager&) = delete;
    TTextureManager& operator=(const TTextureManager&) = delete;

    // Whether the manager is alive (models keep a plain reference to theirs).
    static bool IsRegistered(const TTextureManager* manager);

    // The cached texture of the name (any case), loaded on first request; a
    // name that fails is logged once ("Cannot load texture "%s"") and kept as
    // an empty entry. Each texture obtained counts one reference. None for an
    // empty name.
    TDirect3DTexture3* AcquireTexture(const std::string& name, uint32_t options = TextureLoad::Device);
    // One reference less; at 0 the texture is unbound when current, then freed
    // with its entry. An empty entry is simply removed. Outside the cache:
    // nothing.
    void ReleaseTexture(int index);
    void ReleaseTextureByName(const std::string& name);
    void ReleaseAll();
    // Gives back each texture of the list and clears it in the list.
    void ReleaseList(std::vector<std::pair<std::string, TDirect3DTexture3*>>& list);

    // Binds to the stage; nothing when it is already current. 0 for success.
    int BindTexture(int stage, TDirect3DTexture3* texture);
    void UnbindTexture(int stage);

    int Count() const { return int(entries_.size()); }
    int IndexOf(const std::string& name) const;  // -1 when absent
    const std::string& Name(int index) const { return entries_.at(size_t(index)).first; }
    TDirect3DTexture3* Texture(int index) const { return entries_.at(size_t(index)).second.get(); }
    TDirect3DTexture3* CurrentTexture() const { return current_; }
    ITextureDevice& Device() const { return device_; }

private:
    ITextureDevice& device_;
    TTextureSource source_;
    // Sorted by lower-case name; one entry per name.
    std::vector<std::pair<std::string, std::unique_ptr<TDirect3DTexture3>>> entries_;
    TDirect3DTexture3* current_ = nullptr;
};

}  // namespace mc
