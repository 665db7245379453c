// The move-state walker: states read with inheritance, the actions of a
// class and its bases, history, transitions, and the game's own move
// configuration walked state by state.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "../config/ConfigTestSupport.h"
#include "Animation/MoveStates.h"
#include "Core/Strings.h"
#include "TestSupport.h"

namespace mc::test {
namespace {

namespace fs = std::filesystem;

const char* const kMoves = R"(
class CfgMovesMC
{
	class Actions
	{
		class NoActions { turnSpeed = 1; ladderOnUp = "LadderUp"; };
		class BaseActions : NoActions { stop = "A"; up = "B"; side = "C"; empty = ""; };
		class AActions : BaseActions { up = "B2"; Stop = "A1"; number = 3; };
	};
	class Default { actions = "AActions"; file = ""; looped = 1; speed = 0.5; terminal = 0; };
	class States
	{
		class A : Default { file = "a.rtm"; speed = 10000000000.0; };
		class B : Default { file = "\sjc_anims\std\b.rtm"; speed = -2; looped = 0; };
		class C : B { speed = 1.5; actions = "BaseActions"; };
		class ATOB : Default { file = "atob.rtm"; looped = 0; speed = -1; };
		class Dead : B { terminal = 1; };
		class Combat : A {};
		class Words : Default { looped = "flase"; terminal = true; speed = "fast"; };
	};
};
)";

struct TWalkerTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(LoadConfigText(doc, kMoves)) << doc.ErrorMessage; }
    TResources doc;
    TMoveStateWalker Walker() const { return TMoveStateWalker(doc.RootClass.get()); }
};

TEST(MoveAnimationPath, BackslashNamesAGamePathOthersLieInAnim)
{
    EXPECT_EQ(MoveAnimationPath("sstanistat.rtm"), "anim\\sstanistat.rtm");
    EXPECT_EQ(MoveAnimationPath("\\sjc_anims\\std\\bezstanistat.rtm"), "\\sjc_anims\\std\\bezstanistat.rtm");
    EXPECT_EQ(MoveAnimationPath("sub\\x.rtm"), "anim\\sub\\x.rtm");
}

TEST_F(TWalkerTest, StatesAreReadWithInheritanceAndDefaults)
{
    const TMoveStateWalker w = Walker();
    const TMoveState c = w.ReadState("c");  // names compare without case
    ASSERT_TRUE(c.Exists);
    EXPECT_EQ(c.File, "\\sjc_anims\\std\\b.rtm");  // from B
    EXPECT_EQ(c.AnimationPath(), "\\sjc_anims\\std\\b.rtm");
    EXPECT_FALSE(c.Looped);
    EXPECT_FLOAT_EQ(c.Speed, 1.5f);
    EXPECT_EQ(c.Actions, "BaseActions");
    EXPECT_EQ(w.ReadState("A").AnimationPath(), "anim\\a.rtm");
    const TMoveState missing = w.ReadState("Nowhere");
    EXPECT_FALSE(missing.Exists);
    EXPECT_TRUE(missing.File.empty());
    EXPECT_FALSE(TMoveStateWalker().HasState("A"));  // no configuration at all
    // Words where numbers belong: true and false read as such, a typo keeps
    // the default.
    const TMoveState words = w.ReadState("Words");
    EXPECT_TRUE(words.Looped);
    EXPECT_TRUE(words.Terminal);
    EXPECT_FLOAT_EQ(words.Speed, 0.5f);
}

TEST_F(TWalkerTest, OnlyNegativeSpeedsOfLiveStatesStartPlaying)
{
    const TMoveStateWalker w = Walker();
    EXPECT_EQ(w.ReadState("B").PlayDuration(), std::optional<float>(2.0f));
    EXPECT_FALSE(w.ReadState("A").PlayDuration());     // held still (1e10)
    EXPECT_FALSE(w.ReadState("C").PlayDuration());     // positive
    EXPECT_FALSE(w.ReadState("Dead").PlayDuration());  // terminal
}

TEST_F(TWalkerTest, ActionsComeFromTheClassThenItsBasesFirstFoundWins)
{
    TMoveStateWalker w = Walker();
    const auto actions = w.ReadActions("AActions");
    std::vector<std::string> names;
    for (const auto& a : actions) names.push_back(a.first);
    // Sorted without case; numbers and empty strings are no actions; "Stop"
    // of the class hides its base's "stop".
    EXPECT_EQ(names, (std::vector<std::string>{"ladderOnUp", "side", "Stop", "up"}));
    w.Play("A");
    EXPECT_EQ(w.ActionTarget("stop"), "A1");
    EXPECT_EQ(w.ActionTarget("up"), "B2");
    EXPECT_EQ(w.ActionTarget("side"), "C");
    EXPECT_TRUE(w.ReadActions("Missing").empty());
}

TEST_F(TWalkerTest, HistoryReturnsAndNeverRecordsTwiceInARow)
{
    TMoveStateWalker w = Walker();
    EXPECT_TRUE(w.Play("A"));
    EXPECT_FALSE(w.Play("a"));  // the current state: nothing happens
    EXPECT_TRUE(w.Play("B"));
    EXPECT_TRUE(w.Play("C"));
    EXPECT_EQ(w.History(), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(w.Back());
    EXPECT_EQ(w.Current().Name, "B");
    EXPECT_TRUE(w.Back());
    EXPECT_EQ(w.Current().Name, "A");
    EXPECT_TRUE(w.History().empty());
    EXPECT_FALSE(w.Back());

    // Leaving B twice over Back does not list it twice.
    w.Play("B");
    w.Play("C");
    w.Back();  // B, history A
    w.Play("C");
    w.Play("Nowhere");
    EXPECT_EQ(w.History(), (std::vector<std::string>{"A", "B", "C"}));
    // A state that does not exist leaves no current state and no actions.
    EXPECT_EQ(w.Shown(), "Nowhere");
    EXPECT_FALSE(w.Current().Exists);
    EXPECT_TRUE(w.Actions().empty());
    // C, left again right after it was recorded, is not recorded twice.
    w.Play("C");
    w.Play("A");
    EXPECT_EQ(w.History(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(TWalkerTest, ForwardPlaysTheTransitionAndQueuesTheTarget)
{
    TMoveStateWalker w = Walker();
    w.Play("A");
    EXPECT_TRUE(w.Forward("B"));
    EXPECT_EQ(w.Current().Name, "AToB");  // "%sTo%s", found as "ATOB"
    EXPECT_TRUE(w.Current().Exists);
    EXPECT_EQ(w.Queued(), "B");
    EXPECT_EQ(w.TakeQueued(), "B");
    EXPECT_TRUE(w.Queued().empty());
    // Without a transition the target plays at once; a missing target does nothing.
    EXPECT_TRUE(w.Forward("C"));
    EXPECT_EQ(w.Current().Name, "C");
    EXPECT_FALSE(w.Forward("Nowhere"));
    EXPECT_EQ(w.Current().Name, "C");
    // Reset starts over at Combat with no history and nothing queued.
    w.Play("A");
    w.Forward("B");
    EXPECT_TRUE(w.Reset());
    EXPECT_EQ(w.Current().Name, "Combat");
    EXPECT_TRUE(w.History().empty());
    EXPECT_TRUE(w.Queued().empty());
}

// The game's move configuration, included as the game includes it, after
// the classes and macros of the rest of the game's configuration it names.
class TRealMoves : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path folder = RealDataDir() / "cpp" / "acgim_cfgmoves";
        if (RealDataDir().empty() || !fs::exists(folder / "Config" / "CfgMovesMC.h"))
            GTEST_SKIP() << "no real move configuration here";
        const fs::path work = TempDir("cfgmoves");
        // The copy here lacks a few vehicle states' files that States.h
        // includes: empty ones stand in for them.
        std::ifstream states(folder / "Config" / "CfgMovesMC" / "States.h");
        for (std::string line; std::getline(states, line);) {
            const std::string tag = "#include \"";
            if (line.rfind(tag, 0) != 0) continue;
            std::string name = line.substr(tag.size(), line.find('"', tag.size()) - tag.size());
            std::replace(name.begin(), name.end(), '\\', '/');
            if (fs::exists(folder / name)) continue;
            fs::create_directories((work / name).parent_path());
            std::ofstream(work / name) << "\n";
        }
        const fs::path main = work / "config.cpp";
        std::ofstream(main) << "#define ACCESS_ADDVALUESONLY 1\n#define ACCESS_FORBIDDENVERIFIED 3\n"
                               "#define MANPOS_DEAD 0\n#define MANPOS_WEAPON 1\n#define MANPOS_BINOC 2\n"
                               "#define MANPOS_BINOCLYING 3\n#define MANPOS_BINOCSTAND 4\n#define MANPOS_COMBAT 5\n"
                               "#define MANPOS_HANDGUNCROUCH 6\n#define MANPOS_HANDGUNLYING 7\n"
                               "#define MANPOS_HANDGUNSTAND 8\n#define MANPOS_LYING 9\n"
                               "#define MANPOS_LYINGNOWEAPON 10\n#define MANPOS_NOWEAPON 11\n#define MANPOS_STAND 12\n"
                               "#define SPEED_STATIC 10000000000.0\n#define AISTANCE \"aistance.rtm\"\n"
                               "class CfgManActions {};\n"
                               "#include \"Config\\CfgMovesMC.h\"\n";
        doc.IncludeFolders = {folder.string(), work.string()};
        ASSERT_TRUE(doc.LoadFromFile(main.string())) << doc.ErrorMessage;
        walker.SetConfig(doc.RootClass.get());
    }
    TResources doc;
    TMoveStateWalker walker;
};

TEST_F(TRealMoves, EveryStateFillsItsActions)
{
    const TRClass* states = walker.StatesClass();
    ASSERT_NE(states, nullptr);
    int count = 0, absolute = 0, relative = 0;
    for (const auto& member : states->Members()) {
        if (!member->IsClass()) continue;
        ++count;
        SCOPED_TRACE(member->Name);
        walker.Play(member->Name);
        ASSERT_TRUE(walker.Current().Exists);
        EXPECT_FALSE(walker.Actions().empty()) << walker.Current().Actions;
        const std::string path = walker.Current().AnimationPath();
        if (path.empty()) continue;
        if (path[0] == '\\') {
            ++absolute;
        } else {
            EXPECT_EQ(path.rfind("anim\\", 0), 0u) << path;
            ++relative;
        }
    }
    EXPECT_GT(count, 800);
    // Both forms of file name are there: the game's own and the add-on's.
    EXPECT_GT(absolute, 0);
    EXPECT_GT(relative, 0);
}

TEST_F(TRealMoves, ForwardFromCombatReachesEveryActionsTarget)
{
    ASSERT_TRUE(walker.Reset());
    ASSERT_TRUE(walker.Current().Exists);
    const auto actions = walker.Actions();
    ASSERT_FALSE(actions.empty());
    int reached = 0, transitions = 0;
    for (const auto& [action, target] : actions) {
        SCOPED_TRACE(action + " -> " + target);
        walker.Reset();
        if (!walker.HasState(target)) continue;
        if (SameText(target, "Combat")) {
            EXPECT_FALSE(walker.Forward(target));  // the current state already
            continue;
        }
        ASSERT_TRUE(walker.Forward(target));
        if (walker.HasState("CombatTo" + target)) {
            ++transitions;
            EXPECT_TRUE(SameText(walker.Current().Name, "CombatTo" + target));
            EXPECT_EQ(walker.TakeQueued(), target);
            ASSERT_TRUE(walker.Play(target));
        }
        EXPECT_TRUE(SameText(walker.Current().Name, target));
        EXPECT_EQ(walker.History().front(), "Combat");
        ++reached;
    }
    EXPECT_GT(reached, 10);
    EXPECT_GT(transitions, 0);  // CombatToLying, CombatToBinoc, ...
}

}  // namespace
}  // namespace mc::test
