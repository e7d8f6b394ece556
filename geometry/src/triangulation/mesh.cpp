#include "triangulation/mesh.h"

#include <sys/mman.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

using g3t_detail::Pack;

// ---------------------------------------------------------------------------
G3TVertex::~G3TVertex() = default;

G3TOTri G3TVertex::GetTriangle() const
{
    return g3t::Unpack(m_Tri);
}

void G3TVertex::SetTriangle(const G3TOTri& h)
{
    m_Tri = Pack(h.tri, h.orient);
}

void G3TVertex::Copy(GObj* source)
{
    auto* v = dynamic_cast<G3TVertex*>(source);
    if (!v || v == this)
        return;
    GObj::Copy(source);
    m_X = v->m_X;
    m_Y = v->m_Y;
    m_Height = v->m_Height;
    m_Survivor = v->m_Survivor;
    m_SurfaceVertex = v->m_SurfaceVertex;
    m_ExData = v->m_ExData;
    m_Mark = v->m_Mark;
}

// ---------------------------------------------------------------------------
G3TTriangle::~G3TTriangle() = default;

void G3TTriangle::SetNeighbour(int side, const G3TOTri& h)
{
    if (side >= 0 && side < 3)
        m_Nbr[side] = Pack(h.tri, h.orient);
}

void G3TTriangle::SetSegment(int side, const G3TOSeg& s)
{
    if (side >= 0 && side < 3)
        m_Seg[side] = Pack(s.seg, s.dir);
}

void G3TTriangle::SetMesh(G3TMesh* mesh)
{
    m_Mesh = mesh;
}

void G3TTriangle::SetMark(unsigned char mark)
{
    m_Mark = mark;
}

void G3TTriangle::SetAttribute(int attribute)
{
    m_Attribute = attribute;
}

G3TOTri G3TTriangle::GetNeighbour(int side) const
{
    if (side < 0 || side >= 3)
        return G3TOTri{};
    return g3t::Unpack(m_Nbr[side]);
}

G3TVertex* G3TTriangle::GetCorner(int index) const
{
    return index >= 0 && index < 3 ? m_Corner[index] : nullptr;
}

G3TOSeg G3TTriangle::GetSegment(int side) const
{
    if (side < 0 || side >= 3)
        return G3TOSeg{};
    return G3TOSeg{g3t_detail::ObjectOf<G3TSegment>(m_Seg[side]), g3t_detail::SmallOf(m_Seg[side])};
}

G3TMesh* G3TTriangle::GetMesh() const
{
    return m_Mesh;
}

unsigned char G3TTriangle::GetMark() const
{
    return m_Mark;
}

bool G3TTriangle::HasAttribute() const
{
    return m_Attribute != 0;
}

void G3TTriangle::Copy(GObj* source)
{
    auto* t = dynamic_cast<G3TTriangle*>(source);
    if (!t || t == this)
        return;
    GObj::Copy(source);
    for (int i = 0; i < 3; ++i) {
        m_Corner[i] = t->m_Corner[i];
        m_Nbr[i] = t->m_Nbr[i];
        m_Seg[i] = t->m_Seg[i];
    }
    m_Mesh = t->m_Mesh;
    m_Mark = t->m_Mark;
    m_Attribute = t->m_Attribute;
}

// ---------------------------------------------------------------------------
G3TSegment::~G3TSegment() = default;

void G3TSegment::SetTriangle(int end, const G3TOTri& h)
{
    if (end == 0 || end == 1)
        m_Tri[end] = Pack(h.tri, h.orient);
}

void G3TSegment::SetVertex(int index, G3TVertex* v)
{
    if (index == 0 || index == 1)
        m_Vertex[index] = v;
}

void G3TSegment::SetNeighbourSegment(int end, const G3TOSeg& s)
{
    if (end == 0 || end == 1)
        m_Nbr[end] = Pack(s.seg, s.dir);
}

void G3TSegment::SetMesh(G3TMesh* mesh)
{
    m_Mesh = mesh;
}

void G3TSegment::SetMark(unsigned char mark)
{
    m_Mark = mark;
}

void G3TSegment::SetAttribute(int attribute)
{
    m_Attribute = attribute;
}

G3TOTri G3TSegment::GetTriangle(int end) const
{
    if (end != 0 && end != 1)
        return G3TOTri{};
    return g3t::Unpack(m_Tri[end]);
}

G3TVertex* G3TSegment::GetVertex(int index) const
{
    return index == 0 || index == 1 ? m_Vertex[index] : nullptr;
}

G3TOSeg G3TSegment::GetNeighbourSegment(int end) const
{
    if (end != 0 && end != 1)
        return G3TOSeg{};
    return G3TOSeg{g3t_detail::ObjectOf<G3TSegment>(m_Nbr[end]), g3t_detail::SmallOf(m_Nbr[end])};
}

G3TMesh* G3TSegment::GetMesh() const
{
    return m_Mesh;
}

unsigned char G3TSegment::GetMark() const
{
    return m_Mark;
}

bool G3TSegment::HasAttribute() const
{
    return m_Attribute != 0;
}

void G3TSegment::Copy(GObj* source)
{
    auto* s = dynamic_cast<G3TSegment*>(source);
    if (!s || s == this)
        return;
    GObj::Copy(source);
    m_Vertex[0] = s->m_Vertex[0];
    m_Vertex[1] = s->m_Vertex[1];
    m_Nbr[0] = s->m_Nbr[0];
    m_Nbr[1] = s->m_Nbr[1];
    m_Tri[0] = s->m_Tri[0];
    m_Tri[1] = s->m_Tri[1];
    m_Mesh = s->m_Mesh;
    m_Mark = s->m_Mark;
    m_Attribute = s->m_Attribute;
}

// ---------------------------------------------------------------------------
namespace {
constexpr std::size_t kHugePage = std::size_t(1) << 21;
constexpr std::size_t kLargeBlock = kHugePage;
} // namespace

G3TNodePool::G3TNodePool(GMemoryAllocator* arena, std::size_t itemSize)
    : m_Arena(arena), m_ItemSize((itemSize + 7) & ~static_cast<std::size_t>(7))
{
}

G3TNodePool::~G3TNodePool()
{
    while (m_LargeBlocks) {
        void** next = static_cast<void**>(*m_LargeBlocks);
        std::free(m_LargeBlocks);
        m_LargeBlocks = next;
    }
}

void G3TNodePool::NewBlock()
{
    std::size_t bytes = m_BlockItems * m_ItemSize;
    if (bytes < kLargeBlock / 8) {
        m_Cursor = static_cast<char*>(m_Arena->alloc(static_cast<int>(bytes)));
        if (!m_Cursor)
            throw std::bad_alloc();
        m_End = m_Cursor + bytes;
        m_BlockItems *= 2;
        return;
    }
    // A large block: its first 8 bytes link the blocks for release.
    void* raw = nullptr;
    if (posix_memalign(&raw, kHugePage, kLargeBlock) != 0 || !raw)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(raw, kLargeBlock, MADV_HUGEPAGE);
#endif
    auto** link = static_cast<void**>(raw);
    *link = m_LargeBlocks;
    m_LargeBlocks = link;
    m_Cursor = static_cast<char*>(raw) + ((sizeof(void*) + 15) & ~static_cast<std::size_t>(15));
    m_End = static_cast<char*>(raw) + kLargeBlock;
    m_End = m_Cursor + ((m_End - m_Cursor) / static_cast<std::ptrdiff_t>(m_ItemSize)) * m_ItemSize;
}

void* G3TNodePool::Take()
{
    if (m_Free) {
        void* p = m_Free;
        std::memcpy(&m_Free, p, sizeof(void*));
        return p;
    }
    if (m_Cursor == m_End)
        NewBlock();
    void* p = m_Cursor;
    m_Cursor += m_ItemSize;
    return p;
}

void G3TNodePool::Give(void* p)
{
    std::memcpy(p, &m_Free, sizeof(void*));
    m_Free = p;
}

// ---------------------------------------------------------------------------
namespace {

template <class T> void LinkLast(T* node, T*& head, T*& tail)
{
    node->m_Prev = tail;
    node->m_Next = nullptr;
    if (tail)
        tail->m_Next = node;
    else
        head = node;
    tail = node;
}

template <class T> void Unlink(T* node, T*& head, T*& tail)
{
    if (node->m_Prev)
        node->m_Prev->m_Next = node->m_Next;
    else
        head = node->m_Next;
    if (node->m_Next)
        node->m_Next->m_Prev = node->m_Prev;
    else
        tail = node->m_Prev;
}

template <class T> bool FillArray(T* head, GArrayCollection* array)
{
    if (!array || !head)
        return false;
    for (T* n = head; n; n = n->m_Next)
        array->add(n);
    return true;
}

} // namespace

G3TMesh::G3TMesh()
    : m_Arena(1 << 14, 1 << 20), m_VertexPool(&m_Arena, sizeof(G3TVertex)),
      m_TrianglePool(&m_Arena, sizeof(G3TTriangle)), m_SegmentPool(&m_Arena, sizeof(G3TSegment))
{
    G3TOTri outer{&m_OuterTriangle, 0};
    for (int i = 0; i < 3; ++i) {
        m_OuterTriangle.m_Nbr[i] = Pack(&m_OuterTriangle, 0);
        m_OuterTriangle.m_Seg[i] = Pack(&m_OuterSegment, 0);
    }
    (void)outer;
    m_OuterTriangle.m_Mesh = this;
    m_OuterSegment.m_Mesh = this;
    m_OuterSegment.m_Tri[0] = m_OuterSegment.m_Tri[1] = Pack(&m_OuterTriangle, 0);
    m_OuterSegment.m_Nbr[0] = m_OuterSegment.m_Nbr[1] = Pack(&m_OuterSegment, 0);
}

G3TMesh::~G3TMesh()
{
    // The storage goes with the arena; the objects are ended here.
    for (G3TTriangle* t = m_TriangleHead; t;) {
        G3TTriangle* next = t->m_Next;
        t->~G3TTriangle();
        t = next;
    }
    for (G3TSegment* s = m_SegmentHead; s;) {
        G3TSegment* next = s->m_Next;
        s->~G3TSegment();
        s = next;
    }
    for (G3TVertex* v = m_VertexHead; v;) {
        G3TVertex* next = v->m_Next;
        v->~G3TVertex();
        v = next;
    }
}

G3TVertex* G3TMesh::AddVertex(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return nullptr;
    auto* v = ::new (m_VertexPool.Take()) G3TVertex();
    v->m_X = x;
    v->m_Y = y;
    v->m_Index = m_NextIndex++;
    v->m_Tri = Pack(&m_OuterTriangle, 0);
    LinkLast(v, m_VertexHead, m_VertexTail);
    ++m_VertexCount;
    return v;
}

G3TSegment* G3TMesh::AddSegment(G3TVertex* a, G3TVertex* b)
{
    if (!a || !b || a == b || a->GetMesh() != this || b->GetMesh() != this)
        return nullptr;
    auto* s = ::new (m_SegmentPool.Take()) G3TSegment();
    s->m_Vertex[0] = a;
    s->m_Vertex[1] = b;
    s->m_Mesh = this;
    s->m_Tri[0] = s->m_Tri[1] = Pack(&m_OuterTriangle, 0);
    s->m_Nbr[0] = s->m_Nbr[1] = Pack(&m_OuterSegment, 0);
    LinkLast(s, m_SegmentHead, m_SegmentTail);
    ++m_SegmentCount;
    return s;
}

G3TTriangle* G3TMesh::AddTriangle(G3TVertex* a, G3TVertex* b, G3TVertex* c)
{
    auto* t = ::new (m_TrianglePool.Take()) G3TTriangle();
    t->m_Corner[0] = c;
    t->m_Corner[1] = a;
    t->m_Corner[2] = b;
    const std::uintptr_t outer = Pack(&m_OuterTriangle, 0);
    const std::uintptr_t none = Pack(&m_OuterSegment, 0);
    for (int i = 0; i < 3; ++i) {
        t->m_Nbr[i] = outer;
        t->m_Seg[i] = none;
    }
    t->m_Mesh = this;
    LinkLast(t, m_TriangleHead, m_TriangleTail);
    ++m_TriangleCount;
    return t;
}

bool G3TMesh::RemoveVertex(G3TVertex* v)
{
    if (!v || v->GetMesh() != this)
        return false;
    Unlink(v, m_VertexHead, m_VertexTail);
    --m_VertexCount;
    v->~G3TVertex();
    m_VertexPool.Give(v);
    return true;
}

bool G3TMesh::RemoveSegment(G3TSegment* s)
{
    if (!s || s->m_Mesh != this || s == &m_OuterSegment)
        return false;
    Unlink(s, m_SegmentHead, m_SegmentTail);
    --m_SegmentCount;
    s->~G3TSegment();
    m_SegmentPool.Give(s);
    return true;
}

bool G3TMesh::RemoveTriangle(G3TTriangle* t)
{
    if (!t || t->m_Mesh != this || t == &m_OuterTriangle)
        return false;
    Unlink(t, m_TriangleHead, m_TriangleTail);
    --m_TriangleCount;
    ++m_RemovalCount;
    t->~G3TTriangle();
    m_TrianglePool.Give(t);
    return true;
}

bool G3TMesh::GetVertices(GArrayCollection* array) const
{
    return FillArray(m_VertexHead, array);
}

bool G3TMesh::GetSegments(GArrayCollection* array) const
{
    return FillArray(m_SegmentHead, array);
}

bool G3TMesh::GetTriangles(GArrayCollection* array) const
{
    return FillArray(m_TriangleHead, array);
}

bool G3TMesh::HasOption(int option) const
{
    return option == 0 || (option > 0 && (m_Options & option) == option);
}

void G3TMesh::SetSide(const G3TOTri& h, G3TSegment* s)
{
    if (!s || s == &m_OuterSegment) {
        h.tri->m_Seg[h.orient] = Pack(&m_OuterSegment, 0);
        return;
    }
    // Direction 0 when the side runs like the segment (vertex 0 to 1).
    int dir = g3t::Org(h) == s->m_Vertex[0] ? 0 : 1;
    h.tri->m_Seg[h.orient] = Pack(s, dir);
    s->m_Tri[dir] = Pack(h.tri, h.orient);
}
