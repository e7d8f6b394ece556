// The intrusive list: order, counts, removal through the observer, and
// that every node is deleted exactly once.
#include <gtest/gtest.h>

#include <vector>

#include "tessaly/mo_list.h"

namespace {

struct Node : MO::ListNode {
    Node(int v, std::vector<int>* deleted) : value(v), deletedLog(deleted) {}
    ~Node() override { deletedLog->push_back(value); }
    int value;
    std::vector<int>* deletedLog;
};

struct Recorder : MO::ListCommandsBase {
    explicit Recorder(std::vector<int>* log) : MO::ListCommandsBase(16), removed(log) {}
    void OnRemove(MO::ListNode* node) override { removed->push_back(static_cast<Node*>(node)->value); }
    std::vector<int>* removed;
};

std::vector<int> Values(const MO::List& list)
{
    std::vector<int> out;
    for (MO::ListNode* n = list.GetHead(); n; n = n->GetNext())
        out.push_back(static_cast<Node*>(n)->value);
    return out;
}

} // namespace

TEST(MOList, OrderRemovalObserverAndOwnership)
{
    std::vector<int> deleted, removed;
    Node* kept = nullptr;
    {
        MO::List list;
        auto* recorder = new Recorder(&removed);
        list.SetCommands(recorder);
        EXPECT_NE(recorder->GetBuffer(), nullptr);
        EXPECT_EQ(recorder->GetBufferSize(), 16u);
        std::vector<Node*> nodes;
        for (int k = 0; k < 5; ++k)
            nodes.push_back(new Node(k, &deleted));
        list.Append(nodes[1]);
        list.Append(nodes[2]);
        list.InsertHead(nodes[0]);
        list.Append(nodes[3]);
        list.Append(nodes[4]);
        EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_EQ(list.GetCount(), 5);
        EXPECT_FALSE(list.Append(nodes[2])) << "a node is in one list at a time";
        EXPECT_FALSE(list.Append(nullptr));

        MO::List other;
        EXPECT_FALSE(other.Remove(nodes[2], true)) << "not other's node";
        EXPECT_TRUE(list.Remove(nodes[2], true));  // middle, deleted
        EXPECT_TRUE(list.Remove(nodes[0], true));  // head
        EXPECT_TRUE(list.Remove(nodes[4], false)); // tail, kept
        kept = nodes[4];
        EXPECT_EQ(Values(list), (std::vector<int>{1, 3}));
        EXPECT_EQ(list.GetHead(), nodes[1]);
        EXPECT_EQ(list.GetTail(), nodes[3]);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_EQ(removed, (std::vector<int>{2, 0, 4}));
        EXPECT_EQ(deleted, (std::vector<int>{2, 0}));

        // The kept node may join another list; clearing without deleting
        // only forgets the nodes.
        EXPECT_TRUE(other.Append(kept));
        other.Clear(false);
        EXPECT_EQ(other.GetCount(), 0);
        EXPECT_EQ(other.GetHead(), nullptr);
        EXPECT_EQ(kept->GetList(), nullptr);
    } // the list deletes 1 and 3 and its observer
    EXPECT_EQ(deleted, (std::vector<int>{2, 0, 1, 3}));
    delete kept;
}
