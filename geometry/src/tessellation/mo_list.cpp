#include "tessaly/mo_list.h"

namespace MO {

ListNode::~ListNode() = default;

ListCommandsBase::ListCommandsBase(std::size_t bufferSize)
    : m_Buffer(bufferSize ? new unsigned char[bufferSize]() : nullptr), m_BufferSize(bufferSize)
{
}

ListCommandsBase::~ListCommandsBase()
{
    delete[] m_Buffer;
}

List::~List()
{
    Clear(true);
    delete m_Commands;
}

bool List::Append(ListNode* node)
{
    if (!node || node->m_List)
        return false;
    node->m_List = this;
    node->m_Prev = m_Tail;
    (m_Tail ? m_Tail->m_Next : m_Head) = node;
    m_Tail = node;
    ++m_Count;
    return true;
}

bool List::InsertHead(ListNode* node)
{
    if (!node || node->m_List)
        return false;
    node->m_List = this;
    node->m_Next = m_Head;
    (m_Head ? m_Head->m_Prev : m_Tail) = node;
    m_Head = node;
    ++m_Count;
    return true;
}

bool List::Remove(ListNode* node, bool deleteNode)
{
    if (!node || !Contains(node))
        return false;
    (node->m_Prev ? node->m_Prev->m_Next : m_Head) = node->m_Next;
    (node->m_Next ? node->m_Next->m_Prev : m_Tail) = node->m_Prev;
    node->m_Prev = node->m_Next = nullptr;
    node->m_List = nullptr;
    --m_Count;
    if (m_Commands)
        m_Commands->OnRemove(node);
    if (deleteNode)
        delete node;
    return true;
}

void List::Clear(bool deleteNodes)
{
    for (ListNode* n = m_Head; n;) {
        ListNode* next = n->m_Next;
        n->m_Prev = n->m_Next = nullptr;
        n->m_List = nullptr;
        if (deleteNodes)
            delete n;
        n = next;
    }
    m_Head = m_Tail = nullptr;
    m_Count = 0;
}

void List::SetCommands(ListCommandsBase* commands)
{
    if (commands == m_Commands)
        return;
    delete m_Commands;
    m_Commands = commands;
}

} // namespace MO
