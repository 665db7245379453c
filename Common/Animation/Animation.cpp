#include "Animation/Animation.h"

#include "Core/Strings.h"

namespace mc {

namespace {

std::string TimeText(float time) { return Format("%.6f", static_cast<double>(time)); }

}  // namespace

TAnimFrame::TAnimFrame(TAnimation* animation, int boneCount)
    : Animation(animation), Matrices(static_cast<size_t>(boneCount > 0 ? boneCount : 0), TMatrix4::Identity())
{
}

TAnimation::TAnimation() = default;
TAnimation::~TAnimation() = default;

TAnimFrame* TAnimation::Frame(int index) const
{
    return index >= 0 && index < FrameCount() ? frames_[static_cast<size_t>(index)].Frame.get() : nullptr;
}

const std::string& TAnimation::FrameText(int index) const
{
    static const std::string none;
    return index >= 0 && index < FrameCount() ? frames_[static_cast<size_t>(index)].Text : none;
}

const std::string& TAnimation::BoneName(int index) const
{
    static const std::string none;
    return index >= 0 && index < BoneCount() ? boneNames_[static_cast<size_t>(index)] : none;
}

int TAnimation::BoneIndex(std::string_view name) const
{
    for (size_t i = 0; i < boneNames_.size(); ++i)
        if (SameText(boneNames_[i], name)) return static_cast<int>(i);
    return -1;
}

bool TAnimation::GetBoneMatrix(int bone, TMatrix4& matrix) const
{
    const TAnimFrame* frame = CurrentFrame();
    if (!frame || bone < 0 || static_cast<size_t>(bone) >= frame->Matrices.size()) return false;
    matrix = frame->Matrices[static_cast<size_t>(bone)];
    if (ApplyTotalMove) matrix.SetTranslation(matrix.Translation() + TotalMove * frame->Time);
    return true;
}

bool TAnimation::SetBoneMatrix(int bone, const TMatrix4& matrix)
{
    TAnimFrame* frame = CurrentFrame();
    if (!frame || bone < 0 || static_cast<size_t>(bone) >= frame->Matrices.size()) return false;
    frame->Matrices[static_cast<size_t>(bone)] = matrix;
    return true;
}

void TAnimation::AppendFrame(std::unique_ptr<TAnimFrame> frame)
{
    std::string text = TimeText(frame->Time);
    frames_.push_back({std::move(text), std::move(frame)});
}

void TAnimation::Retime()
{
    const size_t n = frames_.size();
    if (n == 1) {
        frames_[0].Frame->Time = 0;  // its text stays as it was
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        const float time = static_cast<float>(i) / static_cast<float>(n - 1);
        frames_[i].Frame->Time = time;
        frames_[i].Text = TimeText(time);
    }
}

void TAnimation::AddFrame()
{
    AppendFrame(std::make_unique<TAnimFrame>(this, BoneCount()));
    Retime();
}

void TAnimation::DeleteFrame(int index)
{
    if (!Frame(index)) return;
    frames_.erase(frames_.begin() + index);
    if (CurrentFrameIndex == index)
        CurrentFrameIndex = -1;
    else if (CurrentFrameIndex > index)
        --CurrentFrameIndex;  // the same frame stays current
    Retime();
    Modified = true;
}

void TAnimation::ClearFrames()
{
    frames_.clear();
    CurrentFrameIndex = -1;
    Modified = true;
}

void TAnimation::ResetFrame(int index)
{
    TAnimFrame* frame = Frame(index);
    if (!frame) return;
    for (TMatrix4& m : frame->Matrices) m = TMatrix4::Identity();
    Modified = true;
}

void TAnimation::CopyFrame(int source, int destination)
{
    const TAnimFrame* from = Frame(source);
    TAnimFrame* to = Frame(destination);
    if (!from || !to) return;
    to->Matrices = from->Matrices;
    Modified = true;
}

void TAnimation::CopyBoneMatrix(std::string_view bone, int sourceFrame, int destinationFrame)
{
    const int b = BoneIndex(bone);
    const TAnimFrame* from = Frame(sourceFrame);
    TAnimFrame* to = Frame(destinationFrame);
    if (b < 0 || !from || !to) return;
    const size_t i = static_cast<size_t>(b);
    if (i >= from->Matrices.size() || i >= to->Matrices.size()) return;
    to->Matrices[i] = from->Matrices[i];
    Modified = true;
}

void TAnimation::AddBone(const std::string& name)
{
    if (HasBone(name)) return;
    boneNames_.push_back(name);
    for (auto& entry : frames_) entry.Frame->Matrices.resize(boneNames_.size(), TMatrix4::Identity());
}

void TAnimation::DeleteBone(std::string_view name)
{
    const int b = BoneIndex(name);
    if (b < 0) return;
    for (auto& entry : frames_) {
        auto& matrices = entry.Frame->Matrices;
        if (static_cast<size_t>(b) < matrices.size()) matrices.erase(matrices.begin() + b);
    }
    boneNames_.erase(boneNames_.begin() + b);
    Modified = true;
}

void TAnimation::ClearBones()
{
    for (auto& entry : frames_) std::vector<TMatrix4>().swap(entry.Frame->Matrices);
    boneNames_.clear();
    Modified = true;
}

}  // namespace mc
