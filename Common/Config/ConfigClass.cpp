#include "Config/ConfigClass.h"

#include "Core/Strings.h"

namespace mc {

namespace {

// Classes with more members than this get a name index.
constexpr size_t kIndexThreshold = 8;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameLower(std::string_view name, std::string_view lower)
{
    if (name.size() != lower.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (Lower(name[i]) != lower[i]) return false;
    return true;
}

bool HasUpper(std::string_view s)
{
    for (char c : s)
        if (c >= 'A' && c <= 'Z') return true;
    return false;
}

}  // namespace

bool TRField::SetString(std::string text)
{
    auto* s = dynamic_cast<TRString*>(Value.get());
    if (!s) return false;
    s->SetText(std::move(text));
    return true;
}

bool TRField::SetInteger(int32_t number)
{
    auto* i = dynamic_cast<TRInteger*>(Value.get());
    if (!i) return false;
    i->Value = number;
    return true;
}

TRClass::~TRClass() = default;

std::string TRClass::GetName() const
{
    if (Owner) return Name;
    std::string name = Name;
    for (char& c : name)
        if (c == '/') c = '\\';
    const size_t sep = name.find_last_of("\\:");
    return sep == std::string::npos ? name : name.substr(sep + 1);
}

void TRClass::IndexMember(uint32_t position) const
{
    index_.try_emplace(LowerCase(members_[position]->Name), position);
}

TRMember* TRClass::FindMemberLower(std::string_view lower) const
{
    if (members_.size() > kIndexThreshold) {
        if (!indexed_) {
            index_.clear();
            index_.reserve(members_.size() * 2);
            for (uint32_t i = 0; i < members_.size(); ++i) IndexMember(i);
            indexed_ = true;
        }
        const auto it = index_.find(lower);
        return it == index_.end() ? nullptr : members_[it->second].get();
    }
    for (const auto& m : members_)
        if (SameLower(m->Name, lower)) return m.get();
    return nullptr;
}

TRMember* TRClass::FindMember(std::string_view name) const
{
    if (HasUpper(name)) return FindMemberLower(LowerCase(name));
    return FindMemberLower(name);
}

namespace {

bool KindMatches(const TRMember* m, uint8_t kind)
{
    if (!m) return false;
    if (m->IsClass()) return kind == kMemberClass;
    const auto* f = static_cast<const TRField*>(m);
    return f->Value && f->Value->TypeCode() == kind;
}

}  // namespace

TRMember* TRClass::FindMemberOfKind(std::string_view name, uint8_t kind) const
{
    TRMember* m = FindMember(name);
    return KindMatches(m, kind) ? m : nullptr;
}

TRMember* TRClass::FindInherited(std::string_view name, uint8_t kind) const
{
    const std::string lower = LowerCase(name);
    for (const TRClass* k = this; k; k = k->Base) {
        TRMember* m = k->FindMemberLower(lower);
        if (KindMatches(m, kind)) return m;
    }
    return nullptr;
}

TRMember* TRClass::FindInheritedMember(std::string_view name) const
{
    const std::string lower = LowerCase(name);
    for (const TRClass* k = this; k; k = k->Base)
        if (TRMember* m = k->FindMemberLower(lower)) return m;
    return nullptr;
}

TRClass* TRClass::FindPath(const std::vector<std::string>& names) const
{
    const TRClass* k = this;
    for (const std::string& name : names) {
        k = static_cast<TRClass*>(k->FindMemberOfKind(name, kMemberClass));
        if (!k) return nullptr;
    }
    return const_cast<TRClass*>(k);
}

TRField* TRClass::FindField(std::string_view name) const
{
    TRMember* m = FindMember(name);
    return (m && m->IsField()) ? static_cast<TRField*>(m) : nullptr;
}

TRClass* TRClass::FindClass(std::string_view lowerName) const
{
    // Depth first: the base's scope, then own members, then the owner's
    // scope. Bases and owners always were created before the class that
    // names them, so the walk is over a graph without cycles; a class met a
    // second time was searched already and is skipped.
    static thread_local uint64_t epoch = 0;
    static thread_local std::vector<std::pair<const TRClass*, int>> stack;
    const uint64_t mark = ++epoch;
    stack.clear();
    stack.emplace_back(this, 0);
    visitMark_ = mark;
    while (!stack.empty()) {
        auto& [k, stage] = stack.back();
        if (stage == 0) {
            stage = 1;
            const TRClass* base = k->Base;
            if (base && base->visitMark_ != mark) {
                base->visitMark_ = mark;
                stack.emplace_back(base, 0);
            }
            continue;
        }
        if (stage == 1) {
            stage = 2;
            const TRClass* owner = k->Owner;
            if (TRMember* m = k->FindMemberLower(lowerName); m && m->IsClass()) {
                stack.clear();
                return static_cast<TRClass*>(m);
            }
            if (owner && owner->visitMark_ != mark) {
                owner->visitMark_ = mark;
                stack.emplace_back(owner, 0);
            }
            continue;
        }
        stack.pop_back();
    }
    return nullptr;
}

TRMember* TRClass::MemberAt(int index) const
{
    if (index < 0 || index >= MemberCount()) return nullptr;
    return members_[static_cast<size_t>(index)].get();
}

int TRClass::IndexOfMember(const TRMember* member) const
{
    for (size_t i = 0; i < members_.size(); ++i)
        if (members_[i].get() == member) return static_cast<int>(i);
    return -1;
}

bool TRClass::HasClassMembers() const
{
    for (const auto& m : members_)
        if (m->IsClass()) return true;
    return false;
}

TRMember* TRClass::AddMember(std::unique_ptr<TRMember> member)
{
    member->Owner = this;
    members_.push_back(std::move(member));
    if (indexed_) IndexMember(static_cast<uint32_t>(members_.size() - 1));
    return members_.back().get();
}

TRMember* TRClass::InsertMember(int index, std::unique_ptr<TRMember> member)
{
    if (index < 0) index = 0;
    if (index > MemberCount()) index = MemberCount();
    member->Owner = this;
    TRMember* m = member.get();
    members_.insert(members_.begin() + index, std::move(member));
    indexed_ = false;
    return m;
}

std::unique_ptr<TRMember> TRClass::RemoveMember(TRMember* member)
{
    const int i = IndexOfMember(member);
    if (i < 0) return nullptr;
    std::unique_ptr<TRMember> taken = std::move(members_[static_cast<size_t>(i)]);
    members_.erase(members_.begin() + i);
    indexed_ = false;
    taken->Owner = nullptr;
    return taken;
}

bool TRClass::DeleteMember(int index)
{
    if (index < 0 || index >= MemberCount()) return false;
    members_.erase(members_.begin() + index);
    indexed_ = false;
    return true;
}

bool TRClass::RemoveAndFree(TRMember* member) { return RemoveMember(member) != nullptr; }

void TRClass::Clear()
{
    members_.clear();
    index_.clear();
    indexed_ = false;
}

void TRClass::ClearTreeNodes()
{
    std::vector<TRClass*> pending{this};
    while (!pending.empty()) {
        TRClass* k = pending.back();
        pending.pop_back();
        k->TreeNode = nullptr;
        k->TreeNodeExtra = nullptr;
        for (const auto& m : k->members_)
            if (m->IsClass()) pending.push_back(static_cast<TRClass*>(m.get()));
    }
}

bool TRClass::SetBase(TRClass* base)
{
    for (const TRClass* k = base; k; k = k->Base)
        if (k == this) return false;
    Base = base;
    return true;
}

std::unique_ptr<TRField> TRClass::NewStringField(std::string name)
{
    return std::make_unique<TRField>(std::move(name), std::make_unique<TRString>());
}

std::unique_ptr<TRField> TRClass::NewIntegerField(std::string name)
{
    return std::make_unique<TRField>(std::move(name), std::make_unique<TRInteger>(0));
}

std::unique_ptr<TRClass> TRClass::NewClass(std::string name) { return std::make_unique<TRClass>(std::move(name)); }

}  // namespace mc
