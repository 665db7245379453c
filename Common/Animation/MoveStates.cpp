#include "Animation/MoveStates.h"

#include <algorithm>
#include <exception>

#include "Config/ConfigClass.h"
#include "Core/Strings.h"

namespace mc {

namespace {

const TRField* InheritedField(const TRClass& k, std::string_view name)
{
    const TRMember* m = k.FindInheritedMember(name);
    return m && m->IsField() ? static_cast<const TRField*>(m) : nullptr;
}

bool LessText(const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); }

// Values as the game's own configuration writes them: numbers, and in some
// states the words true and false; a value that does not convert (a typo
// such as "flase") keeps the default.
bool FieldBool(const TRField* f, bool fallback)
{
    if (!f || !f->Value || f->IsArrayField()) return fallback;
    if (f->Value->IsString()) {
        const std::string text = f->ValueString();
        if (SameText(text, "true")) return true;
        if (SameText(text, "false")) return false;
    }
    try {
        return f->Value->AsInteger() != 0;
    } catch (const std::exception&) {
        return fallback;
    }
}

float FieldFloat(const TRField* f, float fallback)
{
    if (!f || !f->Value || f->IsArrayField()) return fallback;
    try {
        return f->Value->AsFloat();
    } catch (const std::exception&) {
        return fallback;
    }
}

}  // namespace

std::string MoveAnimationPath(std::string_view file)
{
    if (!file.empty() && file.front() == '\\') return std::string(file);
    return "anim\\" + std::string(file);
}

std::optional<float> TMoveState::PlayDuration() const
{
    if (!Exists || Terminal || Speed >= 0 || Speed == kMoveSpeedStill) return std::nullopt;
    return -Speed;
}

void TMoveStateWalker::SetConfig(const TRClass* root)
{
    root_ = root;
    shown_.clear();
    current_ = {};
    actions_.clear();
    history_.clear();
    queued_.clear();
}

const TRClass* TMoveStateWalker::StatesClass() const
{
    return root_ ? root_->FindPath({"CfgMovesMC", "States"}) : nullptr;
}

const TRClass* TMoveStateWalker::ActionsClasses() const
{
    return root_ ? root_->FindPath({"CfgMovesMC", "Actions"}) : nullptr;
}

const TRClass* TMoveStateWalker::FindState(std::string_view name) const
{
    const TRClass* states = StatesClass();
    if (!states || name.empty()) return nullptr;
    return static_cast<const TRClass*>(states->FindMemberOfKind(name, kMemberClass));
}

TMoveState TMoveStateWalker::ReadState(std::string_view name) const
{
    TMoveState state;
    state.Name = std::string(name);
    const TRClass* k = FindState(name);
    if (!k) return state;
    state.Exists = true;
    if (const TRField* f = InheritedField(*k, "file"); f && !f->IsArrayField()) state.File = f->ValueString();
    state.Terminal = FieldBool(InheritedField(*k, "terminal"), state.Terminal);
    state.Looped = FieldBool(InheritedField(*k, "looped"), state.Looped);
    state.Speed = FieldFloat(InheritedField(*k, "speed"), state.Speed);
    if (const TRField* f = InheritedField(*k, "actions"); f && !f->IsArrayField()) state.Actions = f->ValueString();
    return state;
}

std::vector<std::pair<std::string, std::string>> TMoveStateWalker::ReadActions(std::string_view actionsClass) const
{
    std::vector<std::pair<std::string, std::string>> list;
    const TRClass* classes = ActionsClasses();
    if (!classes || actionsClass.empty()) return list;
    const auto* k = static_cast<const TRClass*>(classes->FindMemberOfKind(actionsClass, kMemberClass));
    // Bases cannot form a cycle (SetBase refuses one); the bound guards a
    // tree built by other means all the same.
    for (int depth = 0; k && depth < 256; k = k->Base, ++depth) {
        for (const auto& member : k->Members()) {
            if (!member->IsField()) continue;
            const auto& field = static_cast<const TRField&>(*member);
            if (!field.Value || !field.Value->IsString()) continue;
            std::string value = field.ValueString();
            if (value.empty()) continue;
            const auto at = std::lower_bound(list.begin(), list.end(), field.Name,
                                             [](const auto& entry, const std::string& name) {
                                                 return LessText(entry.first, name);
                                             });
            if (at != list.end() && SameText(at->first, field.Name)) continue;  // the first found wins
            list.insert(at, {field.Name, std::move(value)});
        }
    }
    return list;
}

bool TMoveStateWalker::Play(const std::string& name, bool record)
{
    if (current_.Exists && SameText(current_.Name, name)) return false;
    if (record && current_.Exists && (history_.empty() || !SameText(history_.back(), current_.Name)))
        history_.push_back(current_.Name);
    shown_ = name;
    current_ = ReadState(name);
    actions_ = current_.Exists ? ReadActions(current_.Actions) : decltype(actions_){};
    return true;
}

bool TMoveStateWalker::Forward(const std::string& target)
{
    if (!HasState(target)) return false;
    queued_.clear();
    if (current_.Exists) {
        const std::string transition = current_.Name + "To" + target;
        if (HasState(transition)) {
            queued_ = target;
            return Play(transition);
        }
    }
    return Play(target);
}

bool TMoveStateWalker::Back()
{
    if (history_.empty()) return false;
    const std::string name = history_.back();
    history_.pop_back();
    queued_.clear();
    return Play(name, false);
}

bool TMoveStateWalker::Reset()
{
    history_.clear();
    queued_.clear();
    return Play("Combat", false);
}

std::string TMoveStateWalker::TakeQueued()
{
    std::string name;
    name.swap(queued_);
    return name;
}

std::string TMoveStateWalker::ActionTarget(std::string_view action) const
{
    for (const auto& [name, value] : actions_)
        if (SameText(name, action)) return value;
    return {};
}

}  // namespace mc
