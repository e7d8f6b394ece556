#pragma once
// MO::List: an intrusive doubly linked list of polymorphic nodes. A node
// lives in at most one list at a time; the list links it through the
// node's own pointers, so adding and removing never allocate.

#include <cstddef>

#include "tessaly/export.h"

namespace MO {

class TESSALY_API ListNode {
public:
    ListNode() = default;
    virtual ~ListNode();
    ListNode(const ListNode&) = delete;
    ListNode& operator=(const ListNode&) = delete;

    ListNode* GetPrev() const { return m_Prev; }
    ListNode* GetNext() const { return m_Next; }
    // The list the node is in (null when in none).
    const class List* GetList() const { return m_List; }

private:
    friend class List;
    ListNode* m_Prev = nullptr;
    ListNode* m_Next = nullptr;
    class List* m_List = nullptr;
};

// Told of every node a list removes (before the node may be deleted). It
// owns one buffer of the size it was made with, for whatever it records.
class TESSALY_API ListCommandsBase {
public:
    explicit ListCommandsBase(std::size_t bufferSize = 0);
    virtual ~ListCommandsBase();
    ListCommandsBase(const ListCommandsBase&) = delete;
    ListCommandsBase& operator=(const ListCommandsBase&) = delete;

    virtual void OnRemove(ListNode* node) = 0;

    unsigned char* GetBuffer() const { return m_Buffer; }
    std::size_t GetBufferSize() const { return m_BufferSize; }

private:
    unsigned char* m_Buffer = nullptr;
    std::size_t m_BufferSize = 0;
};

class TESSALY_API List {
public:
    List() = default;
    // Deletes every node and the observer.
    ~List();
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    // False (nothing done) for a null node or one already in a list.
    bool Append(ListNode* node);
    bool InsertHead(ListNode* node);
    // Unlinks a node of this list, tells the observer, and deletes the node
    // when asked. False for null or a node not in this list.
    bool Remove(ListNode* node, bool deleteNode);
    // Empties the list, deleting the nodes when asked (else they are only
    // unlinked). The observer is not told.
    void Clear(bool deleteNodes);

    ListNode* GetHead() const { return m_Head; }
    ListNode* GetTail() const { return m_Tail; }
    int GetCount() const { return m_Count; }
    bool Contains(const ListNode* node) const { return node && node->m_List == this; }

    // The observer (owned by the list from now on; a previous one is
    // deleted). May be null.
    void SetCommands(ListCommandsBase* commands);
    ListCommandsBase* GetCommands() const { return m_Commands; }

private:
    ListNode* m_Head = nullptr;
    ListNode* m_Tail = nullptr;
    int m_Count = 0;
    ListCommandsBase* m_Commands = nullptr;
};

} // namespace MO
