// An RTM skeletal animation: key frames, each holding one matrix per bone, a
// bone being matched by name to a named selection of the model it poses.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Core/Matrix4.h"
#include "Core/Vector3.h"

namespace mc {

class TGameData;

class TAnimation;
class TModel;
class TStream;

// One key frame: its phase in the animation (0 at the first frame, 1 at the
// last) and one matrix per bone, in bone order. Only the first three columns
// carry data; the fourth is always (0, 0, 0, 1).
class TAnimFrame {
public:
    TAnimFrame(TAnimation* animation, int boneCount);

    TAnimation* Animation;  // the owner
    float Time = 0;
    std::vector<TMatrix4> Matrices;
};

class TAnimation {
public:
    // An empty animation: no frames, no bones, no current frame, modified.
    TAnimation();
    ~TAnimation();
    TAnimation(const TAnimation&) = delete;
    TAnimation& operator=(const TAnimation&) = delete;

    // True after any edit and for a new animation; false after a load.
    bool Modified = true;
    // The displacement of the whole animation over its length.
    Vector3 TotalMove;
    // Index of the frame that poses the model; -1 for none.
    int CurrentFrameIndex = -1;
    // Poses add TotalMove × frame time to each bone's translation.
    bool ApplyTotalMove = false;

    // RTM_0101. Loading returns false for a wrong signature or version, a
    // bone record naming no listed bone, or bytes after the last frame; a
    // short read raises EReadError. Either way the caller discards the
    // animation. Saving raises EWriteError on a short write.
    bool LoadFromStream(TStream& s);
    void SaveToStream(TStream& s) const;

    // nullptr when the file cannot be opened (no message) or is refused.
    // A truncated file raises EReadError.
    static std::unique_ptr<TAnimation> LoadFromFile(const std::string& path);
    // The same for a game path inside the game's archives; a path that is
    // not there logs "Animation file "path" not found.".
    static std::unique_ptr<TAnimation> LoadFromArchives(const TGameData& game, const std::string& gamePath);

    int FrameCount() const { return static_cast<int>(frames_.size()); }
    int BoneCount() const { return static_cast<int>(boneNames_.size()); }
    // nullptr for an index out of range.
    TAnimFrame* Frame(int index) const;
    // The frame's list text: its time as "%.6f" when it was last timed.
    const std::string& FrameText(int index) const;
    const std::vector<std::string>& BoneNames() const { return boneNames_; }
    const std::string& BoneName(int index) const;
    // Position in the bone names, compared without regard to case; the first
    // match wins; -1 when absent.
    int BoneIndex(std::string_view name) const;
    bool HasBone(std::string_view name) const { return BoneIndex(name) >= 0; }
    TAnimFrame* CurrentFrame() const { return Frame(CurrentFrameIndex); }

    // The bone's matrix in the current frame, with TotalMove × time added to
    // the translation when ApplyTotalMove is set. False without a current
    // frame or for a bone out of range.
    bool GetBoneMatrix(int bone, TMatrix4& matrix) const;
    // Stores the matrix into the current frame as given.
    bool SetBoneMatrix(int bone, const TMatrix4& matrix);

    // Editing. Every operation but AddFrame, AddBone and SetBoneMatrix marks
    // the animation modified; an index or name out of range changes nothing.
    void AddFrame();  // all identity; then every frame is re-timed
    void DeleteFrame(int index);  // re-times the rest
    void ClearFrames();
    void ResetFrame(int index);
    void CopyFrame(int source, int destination);
    void CopyBoneMatrix(std::string_view bone, int sourceFrame, int destinationFrame);
    void AddBone(const std::string& name);  // identity in every frame
    void DeleteBone(std::string_view name);
    void ClearBones();

    // Poses the model with the current frame: every named selection that
    // names a bone is moved by the bone's matrix, in every LOD; then the
    // model's derived data is recomputed. False only without a model.
    bool ApplyToModel(TModel* model) const;

private:
    struct TFrameEntry {
        std::string Text;
        std::unique_ptr<TAnimFrame> Frame;
    };

    void AppendFrame(std::unique_ptr<TAnimFrame> frame);
    // Spreads the frames evenly from 0 to 1.
    void Retime();

    std::vector<TFrameEntry> frames_;
    std::vector<std::string> boneNames_;
};

// Size of an RTM file's fixed header and of one bone record of a frame.
constexpr size_t kRtmHeaderSize = 28;
constexpr size_t kRtmNameSize = 32;
constexpr size_t kRtmBoneRecordSize = kRtmNameSize + 12 * 4;

}  // namespace mc
