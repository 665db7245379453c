// Whatever move configuration a config text declares, walking it must not
// crash or hang: every state played, every action followed, the history
// walked back, the queued state taken.
#include <cstdint>
#include <string>
#include <vector>

#include "Animation/MoveStates.h"
#include "Config/ConfigClass.h"
#include "Config/Resources.h"
#include "Core/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mc::TResources doc;
    mc::TMemoryReader stream(data, size);
    if (!doc.LoadText("fuzz.cpp", stream)) return 0;
    mc::TMoveStateWalker walker(doc.RootClass.get());
    const mc::TRClass* states = walker.StatesClass();
    if (!states) return 0;
    std::vector<std::string> names;
    for (const auto& member : states->Members())
        if (member->IsClass()) names.push_back(member->Name);
    for (const std::string& name : names) {
        walker.Play(name);
        (void)walker.Current().AnimationPath();
        (void)walker.Current().PlayDuration();
        const auto actions = walker.Actions();
        for (const auto& action : actions) {
            walker.Forward(action.second);
            walker.Play(walker.TakeQueued());
            walker.Back();
        }
    }
    while (walker.Back()) {
    }
    walker.Reset();
    return 0;
}
