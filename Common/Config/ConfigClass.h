// The class tree of a config document: classes holding fields and further
// classes. Member names compare without regard to case.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Config/ConfigData.h"

namespace mc {

class TRClass;

class TRMember {
public:
    explicit TRMember(std::string name) : Name(std::move(name)) {}
    virtual ~TRMember() = default;
    TRMember(const TRMember&) = delete;
    TRMember& operator=(const TRMember&) = delete;

    std::string Name;  // as written
    TRClass* Owner = nullptr;

    virtual std::string GetName() const { return Name; }
    virtual bool IsField() const { return false; }
    virtual bool IsClass() const { return false; }
};

class TRField : public TRMember {
public:
    explicit TRField(std::string name, std::unique_ptr<TRData> value = nullptr)
        : TRMember(std::move(name)), Value(std::move(value))
    {
    }

    std::unique_ptr<TRData> Value;

    bool IsField() const override { return true; }
    bool IsArrayField() const { return Value && Value->IsArray(); }

    std::string ValueText() const { return Value ? Value->ToText() : std::string(); }
    std::string ValueString() const { return Value ? Value->AsString() : std::string(); }
    float ValueFloat() const { return Value ? Value->AsFloat() : 0.0f; }
    bool ValueBool() const { return Value && Value->AsInteger() != 0; }
    // Only when the value is of that type; false otherwise.
    bool SetString(std::string text);
    bool SetInteger(int32_t number);
};

// Kind for FindMemberOfKind: a class; the type codes 0 to 3 name fields.
inline constexpr uint8_t kMemberClass = 255;

class TRClass : public TRMember {
public:
    explicit TRClass(std::string name) : TRMember(std::move(name)) {}
    ~TRClass() override;

    TRClass* Base = nullptr;
    // Opaque links a window may attach.
    void* TreeNode = nullptr;
    void* TreeNodeExtra = nullptr;

    bool IsClass() const override { return true; }
    // The root's name is shown without folders.
    std::string GetName() const override;

    // Lookups.
    TRMember* FindMember(std::string_view name) const;
    TRMember* FindMemberOfKind(std::string_view name, uint8_t kind) const;
    TRMember* FindInherited(std::string_view name, uint8_t kind) const;
    // FindMember on this class, then along the bases.
    TRMember* FindInheritedMember(std::string_view name) const;
    TRClass* FindPath(const std::vector<std::string>& names) const;
    TRField* FindField(std::string_view name) const;
    // Resolves a base name: the base's scope, own members, then the owner's.
    TRClass* FindClass(std::string_view lowerName) const;

    int MemberCount() const { return static_cast<int>(members_.size()); }
    TRMember* MemberAt(int index) const;
    int IndexOfMember(const TRMember* member) const;
    bool HasClassMembers() const;
    const std::vector<std::unique_ptr<TRMember>>& Members() const { return members_; }

    // Editing; added members get this class as owner.
    TRMember* AddMember(std::unique_ptr<TRMember> member);
    TRMember* InsertMember(int index, std::unique_ptr<TRMember> member);
    std::unique_ptr<TRMember> RemoveMember(TRMember* member);
    bool DeleteMember(int index);
    bool RemoveAndFree(TRMember* member);
    void Clear();
    void ClearTreeNodes();

    // Sets the base; false (nothing changed) when that would make the class
    // inherit from itself, directly or through other classes.
    bool SetBase(TRClass* base);

    static std::unique_ptr<TRField> NewStringField(std::string name);
    static std::unique_ptr<TRField> NewIntegerField(std::string name);
    static std::unique_ptr<TRClass> NewClass(std::string name);

private:
    TRMember* FindMemberLower(std::string_view lowerName) const;
    void IndexMember(uint32_t position) const;

    std::vector<std::unique_ptr<TRMember>> members_;
    // Lower-case name to the first member of that name; built on demand for
    // classes with many members.
    struct TNameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    mutable std::unordered_map<std::string, uint32_t, TNameHash, std::equal_to<>> index_;
    mutable bool indexed_ = false;
    mutable uint64_t visitMark_ = 0;
};

}  // namespace mc
