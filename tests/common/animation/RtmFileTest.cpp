// Reading and writing RTM_0101 animations, with the real file of another
// tool and every way a file can be broken.
#include <gtest/gtest.h>

#include <fstream>

#include "Animation/Animation.h"
#include "Core/Stream.h"
#include "Game/GameData.h"
#include "RtmBytes.h"
#include "TestSupport.h"

using namespace mc;
using mc::test::TRtmBytes;

namespace {

std::vector<uint8_t> Save(const TAnimation& a)
{
    TMemoryStream out;
    a.SaveToStream(out);
    return out.TakeBytes();
}

bool Load(TAnimation& a, const std::vector<uint8_t>& bytes)
{
    TMemoryReader in(bytes.data(), bytes.size());
    return a.LoadFromStream(in);
}

// Two bones, two frames; frame 1 lists its bones in reverse order.
TRtmBytes TwoBoneFile()
{
    TRtmBytes f;
    f.Header(1, 2, 3, 2, 2).Name("arm").Name("leg");
    f.Float(0).Bone("arm", 1, 0, 0).Bone("leg", 2, 0, 0);
    f.Float(1).Bone("LEG", 0, 4, 0).Bone("arm", 0, 3, 0);
    return f;
}

// The bytes with everything after each name's terminating zero cleared.
std::vector<uint8_t> ZeroNameJunk(std::vector<uint8_t> bytes, int frames, int bones)
{
    auto clear = [&](size_t field) {
        bool ended = false;
        for (size_t i = field; i < field + 32; ++i) {
            if (ended) bytes[i] = 0;
            if (bytes[i] == 0) ended = true;
        }
    };
    for (int b = 0; b < bones; ++b) clear(28 + 32 * static_cast<size_t>(b));
    const size_t first = 28 + 32 * static_cast<size_t>(bones);
    const size_t frameSize = 4 + 80 * static_cast<size_t>(bones);
    for (int f = 0; f < frames; ++f)
        for (int b = 0; b < bones; ++b) clear(first + f * frameSize + 4 + 80 * static_cast<size_t>(b));
    return bytes;
}

}  // namespace

TEST(RtmFile, EmptyFileLoadsAndSavesToTwentyEightBytes)
{
    const auto bytes = TRtmBytes().Header(0, 0, 0, 0, 0).bytes;
    ASSERT_EQ(bytes.size(), 28u);
    TAnimation a;
    EXPECT_TRUE(a.Modified);
    ASSERT_TRUE(Load(a, bytes));
    EXPECT_FALSE(a.Modified);
    EXPECT_EQ(a.FrameCount(), 0);
    EXPECT_EQ(a.BoneCount(), 0);
    EXPECT_EQ(Save(a), bytes);
}

TEST(RtmFile, BoneRecordsArePlacedByNameAndWrittenInNameOrder)
{
    TAnimation a;
    ASSERT_TRUE(Load(a, TwoBoneFile().bytes));
    EXPECT_EQ(a.TotalMove, (Vector3{1, 2, 3}));
    ASSERT_EQ(a.BoneCount(), 2);
    EXPECT_EQ(a.BoneName(0), "arm");
    ASSERT_EQ(a.FrameCount(), 2);
    EXPECT_EQ(a.FrameText(1), "1.000000");
    EXPECT_EQ(a.Frame(1)->Matrices[0].Translation(), (Vector3{0, 3, 0}));
    EXPECT_EQ(a.Frame(1)->Matrices[1].Translation(), (Vector3{0, 4, 0}));
    EXPECT_EQ(a.Frame(1)->Matrices[1].m[3][3], 1.0f);
    EXPECT_EQ(a.Frame(1)->Matrices[1].m[0][3], 0.0f);

    TRtmBytes ordered;
    ordered.Header(1, 2, 3, 2, 2).Name("arm").Name("leg");
    ordered.Float(0).Bone("arm", 1, 0, 0).Bone("leg", 2, 0, 0);
    ordered.Float(1).Bone("arm", 0, 3, 0).Bone("leg", 0, 4, 0);
    EXPECT_EQ(Save(a), ordered.bytes);
}

TEST(RtmFile, RefusedFiles)
{
    TAnimation a;
    auto appended = TwoBoneFile().bytes;
    appended.push_back(0);
    EXPECT_FALSE(Load(a, appended));

    auto magic = TwoBoneFile().bytes;
    magic[3] = 'X';
    EXPECT_FALSE(Load(a, magic));
    auto version = TwoBoneFile().bytes;
    version[7] = '2';
    EXPECT_FALSE(Load(a, version));

    EXPECT_FALSE(Load(a, TRtmBytes().Header(0, 0, 0, -1, 0).bytes));
    EXPECT_FALSE(Load(a, TRtmBytes().Header(0, 0, 0, 0, -5).bytes));

    // A record naming no listed bone: the frames before it stay read.
    TRtmBytes unknown;
    unknown.Header(0, 0, 0, 2, 1).Name("arm");
    unknown.Float(0).Bone("arm", 0, 0, 0);
    unknown.Float(1).Bone("hand", 0, 0, 0);
    EXPECT_FALSE(Load(a, unknown.bytes));
    EXPECT_EQ(a.FrameCount(), 1);
}

TEST(RtmFile, EveryTruncationRaisesTheReadError)
{
    const auto bytes = TwoBoneFile().bytes;
    for (size_t n = 0; n < bytes.size(); ++n) {
        TAnimation a;
        TMemoryReader in(bytes.data(), n);
        EXPECT_THROW(a.LoadFromStream(in), EReadError) << "cut at " << n;
    }
}

TEST(RtmFile, AbsurdCountsAreRefusedBeforeAllocating)
{
    for (const auto& [frames, bones] : {std::pair{0x7FFFFFFF, 0x7FFFFFFF}, std::pair{0x7FFFFFFF, 0},
                                        std::pair{1, 0x7FFFFFFF}, std::pair{0x7FFFFFFF, 1}, std::pair{2, 2}}) {
        TAnimation a;
        const auto bytes = TRtmBytes().Header(0, 0, 0, frames, bones).bytes;
        TMemoryReader in(bytes.data(), bytes.size());
        EXPECT_THROW(a.LoadFromStream(in), EReadError) << frames << " frames, " << bones << " bones";
    }
}

TEST(RtmFile, NamesAreCutToThirtyOneCharactersAndMatchedWithoutCase)
{
    TAnimation a;
    const std::string longName(32, 'b');
    a.AddBone(longName);
    a.AddFrame();
    const auto bytes = Save(a);
    ASSERT_EQ(bytes.size(), 28u + 32 + 4 + 80);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), std::string(31, 'b'));
    EXPECT_EQ(bytes[28 + 31], 0);

    TAnimation b;
    ASSERT_TRUE(Load(b, bytes));
    EXPECT_EQ(b.BoneName(0), std::string(31, 'b'));
    EXPECT_EQ(b.BoneIndex(std::string(31, 'B')), 0);

    // Bones of equal names keep their own matrices: a record standing at the
    // position of a bone of its name goes to that bone, a record elsewhere
    // to the first bone of that name. In frame 1 "arm" stands at ARM's
    // position, "ARM" at leg's.
    TRtmBytes dup;
    dup.Header(0, 0, 0, 2, 3).Name("Arm").Name("ARM").Name("leg");
    dup.Float(0).Bone("arm", 5, 0, 0).Bone("arm", 6, 0, 0).Bone("leg", 7, 0, 0);
    dup.Float(1).Bone("leg", 1, 0, 0).Bone("arm", 2, 0, 0).Bone("ARM", 3, 0, 0);
    TAnimation c;
    ASSERT_TRUE(Load(c, dup.bytes));
    EXPECT_EQ(c.BoneIndex("arm"), 0);
    EXPECT_EQ(c.Frame(0)->Matrices[0].Translation().x, 5.0f);
    EXPECT_EQ(c.Frame(0)->Matrices[1].Translation().x, 6.0f);
    EXPECT_EQ(c.Frame(1)->Matrices[0].Translation().x, 3.0f);
    EXPECT_EQ(c.Frame(1)->Matrices[1].Translation().x, 2.0f);
    EXPECT_EQ(c.Frame(1)->Matrices[2].Translation().x, 1.0f);
    const auto saved = Save(c);
    TAnimation d;
    ASSERT_TRUE(Load(d, saved));
    EXPECT_EQ(Save(d), saved);
}

TEST(RtmFile, JunkAfterNamesIsReadAsPaddingAndWrittenAsZeros)
{
    TRtmBytes junk;
    junk.Header(0, 0, 0, 1, 1).Name("arm", 0xCC);
    junk.Float(0).Bone("arm", 1, 2, 3, 0xAB);
    TAnimation a;
    ASSERT_TRUE(Load(a, junk.bytes));
    EXPECT_EQ(Save(a), ZeroNameJunk(junk.bytes, 1, 1));
}

TEST(RtmFile, ShortWriteRaisesTheWriteError)
{
    TAnimation a;
    ASSERT_TRUE(Load(a, TwoBoneFile().bytes));
    TMemoryStream out;
    out.SetCapacityLimit(100);
    EXPECT_THROW(a.SaveToStream(out), EWriteError);
}

TEST(RtmFile, LoadFromFile)
{
    const auto dir = test::TempDir("rtm-file");
    EXPECT_EQ(TAnimation::LoadFromFile((dir / "missing.rtm").string()), nullptr);

    const auto write = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    };
    auto good = TAnimation::LoadFromFile(write("good.rtm", TwoBoneFile().bytes));
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->FrameCount(), 2);
    EXPECT_FALSE(good->Modified);

    auto appended = TwoBoneFile().bytes;
    appended.push_back(1);
    EXPECT_EQ(TAnimation::LoadFromFile(write("appended.rtm", appended)), nullptr);

    auto truncated = TwoBoneFile().bytes;
    truncated.pop_back();
    EXPECT_THROW(TAnimation::LoadFromFile(write("truncated.rtm", truncated)), EReadError);
}

TEST(RtmFile, LoadFromArchivesLogsAMissingPath)
{
    test::TRecordingServices services;
    TGameData empty;
    EXPECT_EQ(TAnimation::LoadFromArchives(empty, "anim\\walk.rtm"), nullptr);
    ASSERT_EQ(services.Log.size(), 1u);
    EXPECT_EQ(services.Log[0], "Animation file \"anim\\walk.rtm\" not found.");
}

TEST(RtmFile, RealFilesLoadAndWriteBackTheSameBytes)
{
    const auto files = test::RealFiles("rtm", ".rtm");
    if (files.empty()) GTEST_SKIP() << "no real RTM files";
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const auto bytes = test::ReadFileBytes(path);
        TAnimation a;
        ASSERT_TRUE(Load(a, bytes));
        EXPECT_GT(a.BoneCount(), 0);
        EXPECT_GT(a.FrameCount(), 0);
        for (const std::string& name : a.BoneNames()) EXPECT_FALSE(name.empty());
        EXPECT_EQ(Save(a), ZeroNameJunk(bytes, a.FrameCount(), a.BoneCount()));

        auto appended = bytes;
        appended.push_back(0);
        TAnimation b;
        EXPECT_FALSE(Load(b, appended));

        TAnimation c;
        TMemoryReader cut(bytes.data(), bytes.size() - 1);
        EXPECT_THROW(c.LoadFromStream(cut), EReadError);
    }
}
