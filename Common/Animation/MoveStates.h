// The game's move configuration (CfgMovesMC) walked state by state: each
// move state names its animation, whether it loops, how fast it plays and
// the class of actions that lead from it to other states. The walker keeps
// the visited states as a history and queues the target of a transition
// ("AToB") until the transition's animation has ended.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mc {

class TRClass;

// The speed value that marks a state held still rather than played.
inline constexpr float kMoveSpeedStill = 1e10f;

// The game path of a move state's animation file: a name that starts with
// a backslash is a full game path (add-on animations) and is used as it
// stands; any other name lies in the "anim" archive.
std::string MoveAnimationPath(std::string_view file);

// The fields of one move state, read with inheritance.
struct TMoveState {
    std::string Name;
    bool Exists = false;
    std::string File;
    bool Terminal = false;
    bool Looped = true;
    float Speed = 0.5f;
    std::string Actions;  // the name of the class in CfgMovesMC >> Actions

    // The game path of File; empty when the state names no file.
    std::string AnimationPath() const { return File.empty() ? std::string() : MoveAnimationPath(File); }
    // The time one pass of the animation takes when the state starts
    // playing by itself: not terminal and a negative speed (-speed seconds).
    // Positive speeds and the "still" value do not start playback.
    std::optional<float> PlayDuration() const;
};

class TMoveStateWalker {
public:
    // The configuration's root class (it outlives the walker); nullptr for
    // none, in which case no state exists.
    explicit TMoveStateWalker(const TRClass* root = nullptr) : root_(root) {}

    // Forgets everything walked and reads states from another configuration.
    void SetConfig(const TRClass* root);
    const TRClass* Config() const { return root_; }

    // CfgMovesMC >> States and >> Actions; nullptr when absent.
    const TRClass* StatesClass() const;
    const TRClass* ActionsClasses() const;
    const TRClass* FindState(std::string_view name) const;
    bool HasState(std::string_view name) const { return FindState(name) != nullptr; }
    // The state's fields, or Exists false (and the defaults) when absent.
    TMoveState ReadState(std::string_view name) const;
    // Action name -> non-empty string value for every field of the actions
    // class and its bases, the class's own first: the first found wins.
    // Sorted by name without regard to case; names compare the same way.
    std::vector<std::pair<std::string, std::string>> ReadActions(std::string_view actionsClass) const;

    // Makes name the current state. Nothing happens (false) when it is the
    // current state already. With record, the state left is appended to the
    // history unless it is the history's last entry. A state that does not
    // exist leaves no current state and no actions (Shown() still names it).
    bool Play(const std::string& name, bool record = true);
    // Follows an action to its target state T (when T exists): with a state
    // "<current>To<T>" that transition is played and T is queued, otherwise
    // T is played. False when T does not exist or nothing was played (T is
    // the current state).
    bool Forward(const std::string& target);
    // Plays the last history entry (taken from the history) without
    // recording; a queued state is dropped. False with an empty history.
    bool Back();
    // Starts over: no history, nothing queued, "Combat" played without
    // recording the state left. False when "Combat" is current already.
    bool Reset();
    // The queued state, which is cleared; empty when none waits.
    std::string TakeQueued();

    // The last state asked for, whether or not it exists.
    const std::string& Shown() const { return shown_; }
    // The current state (Exists false when there is none).
    const TMoveState& Current() const { return current_; }
    const std::vector<std::pair<std::string, std::string>>& Actions() const { return actions_; }
    // The value of an action of the current state; empty when there is none.
    std::string ActionTarget(std::string_view action) const;
    const std::vector<std::string>& History() const { return history_; }
    const std::string& Queued() const { return queued_; }

private:
    const TRClass* root_ = nullptr;
    std::string shown_;
    TMoveState current_;
    std::vector<std::pair<std::string, std::string>> actions_;
    std::vector<std::string> history_;
    std::string queued_;
};

}  // namespace mc
