// The render-store record: its defaults, visibility, and the ownership of
// its luminance-frame collection under setting, copying and assignment
// (every collection deleted exactly once; the sanitizers catch the rest).
#include <gtest/gtest.h>

#include "tessaly/math.h"
#include "tessaly/render_store.h"

namespace {
// A frame collection that counts its deletion.
class CountedFrames : public GArrayCollection {
public:
    explicit CountedFrames(int* deleted) : m_Deleted(deleted) {}
    ~CountedFrames() override { ++*m_Deleted; }

private:
    int* m_Deleted;
};

CountedFrames* FramesOf(int* deleted, GObj* a, GObj* b)
{
    auto* frames = new CountedFrames(deleted);
    frames->add(a);
    frames->add(b);
    return frames;
}

void ExpectSameFramesOwnCollection(const GRenderGraphicStoreInfo& copy, const GRenderGraphicStoreInfo& original)
{
    ASSERT_NE(copy.GetLuminanceFrames(), nullptr);
    EXPECT_NE(copy.GetLuminanceFrames(), original.GetLuminanceFrames());
    ASSERT_EQ(copy.GetLuminanceFrames()->count(), original.GetLuminanceFrames()->count());
    for (int k = 0; k < copy.GetLuminanceFrames()->count(); ++k)
        EXPECT_EQ(copy.GetLuminanceFrames()->get(k), original.GetLuminanceFrames()->get(k));
}
} // namespace

TEST(RenderStoreInfo, Defaults)
{
    GRenderGraphicStoreInfo info(7, 3);
    EXPECT_EQ(info.GetRenderId(), 7);
    EXPECT_EQ(info.GetLayerId(), 3);
    EXPECT_EQ(info.GetListPos(), 0);
    EXPECT_EQ(info.GetGraphic(), 0);
    EXPECT_EQ(info.GetColor(), 0);
    EXPECT_EQ(info.GetLayerDrawing(), 0);
    EXPECT_EQ(info.GetPenWidth(), 0.0);
    EXPECT_EQ(info.GetGraphicID(), 0);
    EXPECT_EQ(info.GetLuminanceFrames(), nullptr);
    EXPECT_TRUE(info.GetVisible());
}

TEST(RenderStoreInfo, VisibleNeedsBothFlags)
{
    struct Case {
        bool visible, inViewport, expected;
    };
    const Case cases[] = {{true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        GRenderGraphicStoreInfo info(1, 1);
        info.SetVisible(c.visible);
        info.SetVisibleInViewport(c.inViewport);
        EXPECT_EQ(info.GetVisible(), c.expected) << c.visible << c.inViewport;
        EXPECT_EQ(info.GetVisibleFlag(), c.visible);
    }
}

TEST(RenderStoreInfo, SettingFramesDeletesTheEarlierCollectionOnly)
{
    GEnvelope a, b;
    int firstDeleted = 0, secondDeleted = 0;
    {
        GRenderGraphicStoreInfo info(1, 1);
        CountedFrames* first = FramesOf(&firstDeleted, &a, &b);
        info.SetLuminanceFrames(first);
        info.SetLuminanceFrames(first); // the collection held: nothing happens
        EXPECT_EQ(firstDeleted, 0);
        EXPECT_EQ(info.GetLuminanceFrames(), first);
        info.SetLuminanceFrames(FramesOf(&secondDeleted, &b, &a));
        EXPECT_EQ(firstDeleted, 1);
        EXPECT_EQ(secondDeleted, 0);
    }
    EXPECT_EQ(secondDeleted, 1);
    EXPECT_EQ(firstDeleted, 1);
}

TEST(RenderStoreInfo, CopiesOwnTheirCollections)
{
    GEnvelope a, b;
    int deleted = 0;
    {
        GRenderGraphicStoreInfo original(4, 5);
        original.SetListPos(12);
        original.SetColor(0xff00ff);
        original.SetPenWidth(0.35);
        original.SetGraphicID(99);
        original.SetVisibleInViewport(false);
        original.SetLuminanceFrames(FramesOf(&deleted, &a, &b));

        GRenderGraphicStoreInfo constructed(original);
        ExpectSameFramesOwnCollection(constructed, original);
        EXPECT_EQ(constructed.GetListPos(), 12);
        EXPECT_EQ(constructed.GetColor(), 0xff00ff);
        EXPECT_EQ(constructed.GetPenWidth(), 0.35);
        EXPECT_EQ(constructed.GetGraphicID(), 99);
        EXPECT_FALSE(constructed.GetVisible());
        EXPECT_EQ(constructed.GetLayerId(), 5);

        int targetDeleted = 0;
        GRenderGraphicStoreInfo assigned(1, 1);
        assigned.SetLuminanceFrames(FramesOf(&targetDeleted, &b, &b));
        assigned = original;
        EXPECT_EQ(targetDeleted, 1) << "the target's own collection goes";
        ExpectSameFramesOwnCollection(assigned, original);
        EXPECT_EQ(assigned.GetRenderId(), 4);

        GArrayCollection* held = assigned.GetLuminanceFrames();
        const GRenderGraphicStoreInfo& self = assigned;
        assigned = self;
        EXPECT_EQ(assigned.GetLuminanceFrames(), held) << "self-assignment keeps the collection";

        GRenderGraphicStoreInfo copied(2, 2);
        copied.Copy(&original);
        ExpectSameFramesOwnCollection(copied, original);
        copied.Copy(&a); // not a record: only the base part
        ExpectSameFramesOwnCollection(copied, original);

        GObj* duplicate = original.Duplicate();
        auto* record = dynamic_cast<GRenderGraphicStoreInfo*>(duplicate);
        ASSERT_NE(record, nullptr);
        ExpectSameFramesOwnCollection(*record, original);
        delete duplicate;
        EXPECT_EQ(deleted, 0) << "only the original deletes its collection";
    }
    EXPECT_EQ(deleted, 1);
}

TEST(RenderStoreInfo, NoFramesCopiesAsNoFrames)
{
    GRenderGraphicStoreInfo original(1, 2);
    GRenderGraphicStoreInfo copy(original);
    EXPECT_EQ(copy.GetLuminanceFrames(), nullptr);
}

TEST(RenderStoreInfo, PlacedInAnArena)
{
    GMemoryAllocator arena;
    auto* info = new (&arena) GRenderGraphicStoreInfo(8, 9);
    info->SetLuminanceFrames(new GArrayCollection);
    EXPECT_EQ(info->GetRenderId(), 8);
    info->~GRenderGraphicStoreInfo(); // the arena frees the storage, not the collection
}
