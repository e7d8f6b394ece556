#include "triangulation/mesh.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

using g3t_detail::Pack;

// ---------------------------------------------------------------------------
G3TOTri G3TVertex::GetTriangle() const
{
    return g3t::Unpack(m_Tri);
}

void G3TVertex::SetTriangle(const G3TOTri& h)
{
    m_Tri = Pack(h.tri, h.orient);
}

const G3TVertexExtras* G3TVertex::Extras() const
{
    const G3TMesh* mesh = GetMesh();
    return mesh ? mesh->ExtrasOf(this) : nullptr;
}

G3TVertexExtras* G3TVertex::MakeExtras()
{
    G3TMesh* mesh = GetMesh();
    return mesh ? mesh->MakeExtras(this) : nullptr;
}

double G3TVertex::GetHeight() const
{
    const G3TVertexExtras* e = Extras();
    return e ? e->height : 0.0;
}

void G3TVertex::SetHeight(double h)
{
    G3TVertexExtras* e = h != 0.0 || Extras() ? MakeExtras() : nullptr;
    if (e)
        e->height = h;
}

G3TVertex* G3TVertex::GetSurvivor()
{
    const G3TMesh* mesh = GetMesh();
    G3TVertex* survivor = mesh ? mesh->SurvivorOf(this) : nullptr;
    return survivor ? survivor : this;
}

bool G3TVertex::IsDuplicate() const
{
    const G3TMesh* mesh = GetMesh();
    return mesh && mesh->SurvivorOf(this);
}

void G3TVertex::SetSurvivor(G3TVertex* survivor)
{
    if (G3TMesh* mesh = GetMesh())
        mesh->SetSurvivorOf(this, survivor);
}

G3Vertex* G3TVertex::GetSurfaceVertex() const
{
    const G3TVertexExtras* e = Extras();
    return e ? e->surfaceVertex : nullptr;
}

void G3TVertex::SetSurfaceVertex(G3Vertex* v)
{
    G3TVertexExtras* e = v || Extras() ? MakeExtras() : nullptr;
    if (e)
        e->surfaceVertex = v;
}

GObj* G3TVertex::GetExData() const
{
    const G3TVertexExtras* e = Extras();
    return e ? e->exData : nullptr;
}

void G3TVertex::SetExData(GObj* data)
{
    G3TVertexExtras* e = data || Extras() ? MakeExtras() : nullptr;
    if (e)
        e->exData = data;
}

void G3TVertex::Copy(const G3TVertex* source)
{
    if (!source || source == this)
        return;
    m_X = source->m_X;
    m_Y = source->m_Y;
    m_Mark = source->m_Mark;
    const G3TVertexExtras* e = source->Extras();
    const G3TVertexExtras none;
    if (!e)
        e = &none;
    const G3TVertexExtras copied = *e;
    G3TMesh* sourceMesh = source->GetMesh();
    SetHeight(copied.height);
    SetSurvivor(sourceMesh ? sourceMesh->SurvivorOf(source) : nullptr);
    SetSurfaceVertex(copied.surfaceVertex);
    SetExData(copied.exData);
}

// ---------------------------------------------------------------------------
G3TTriangle::~G3TTriangle()
{
    // A triangle ended outside the mesh's own removal (a copy) takes its
    // entries out of the mesh's side table.
    for (int side = 0; side < 3; ++side) {
        if (HasSegmentOn(side))
            SetSegment(side, G3TOSeg{});
    }
}

void G3TTriangle::SetNeighbour(int side, const G3TOTri& h)
{
    if (side >= 0 && side < 3)
        g3t::PointAt(G3TOTri{this, side}, h);
}

void G3TTriangle::SetSegment(int side, const G3TOSeg& s)
{
    if (side >= 0 && side < 3 && m_Mesh)
        m_Mesh->SetSideSegment(this, side, s);
}

void G3TTriangle::SetMesh(G3TMesh* mesh)
{
    if (mesh == m_Mesh)
        return;
    G3TOSeg kept[3];
    for (int side = 0; side < 3; ++side) {
        if (HasSegmentOn(side)) {
            kept[side] = GetSegment(side);
            SetSegment(side, G3TOSeg{});
        }
    }
    m_Mesh = mesh;
    for (int side = 0; side < 3; ++side) {
        if (kept[side].seg)
            SetSegment(side, kept[side]);
    }
}

G3TOTri G3TTriangle::GetNeighbour(int side) const
{
    if (side < 0 || side >= 3)
        return G3TOTri{};
    return g3t::Unpack(m_Nbr[side]);
}

G3TOSeg G3TTriangle::GetSegment(int side) const
{
    if (side < 0 || side >= 3 || !m_Mesh)
        return G3TOSeg{};
    return m_Mesh->SideSegment(this, side);
}

void G3TTriangle::Copy(const G3TTriangle* source)
{
    if (!source || source == this)
        return;
    for (int side = 0; side < 3; ++side)
        SetSegment(side, G3TOSeg{});
    m_Mesh = source->m_Mesh;
    for (int i = 0; i < 3; ++i) {
        m_Corner[i] = source->m_Corner[i];
        m_Nbr[i] = source->m_Nbr[i] & ~g3t_detail::kFlagBit;
        if (source->HasSegmentOn(i))
            SetSegment(i, source->GetSegment(i));
    }
    m_Mark = source->m_Mark;
    m_Attribute = source->m_Attribute;
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
constexpr std::size_t kLargeBlock = g3t_detail::kChunkBytes;
} // namespace

G3TNodePool::G3TNodePool(GMemoryAllocator* arena, std::size_t itemSize)
    : m_Arena(arena), m_ItemSize((itemSize + 7) & ~static_cast<std::size_t>(7))
{
}

G3TNodePool::~G3TNodePool()
{
    while (m_LargeBlocks) {
        void** next = static_cast<void**>(*m_LargeBlocks);
        g3t_detail::UnmapChunk(m_LargeBlocks);
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
    void* raw = g3t_detail::MapChunk();
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

} // namespace

G3TMesh::G3TMesh()
    : m_Arena(1 << 14, 1 << 20), m_Vertices(&m_Blocks), m_Triangles(&m_Blocks),
      m_SegmentPool(&m_Arena, sizeof(G3TSegment))
{
    for (int i = 0; i < 3; ++i)
        m_OuterTriangle.m_Nbr[i] = Pack(&m_OuterTriangle, 0);
    m_OuterTriangle.m_Mesh = this;
    m_OuterSegment.m_Mesh = this;
    m_OuterSegment.m_Tri[0] = m_OuterSegment.m_Tri[1] = Pack(&m_OuterTriangle, 0);
    m_OuterSegment.m_Nbr[0] = m_OuterSegment.m_Nbr[1] = Pack(&m_OuterSegment, 0);
}

G3TMesh::~G3TMesh()
{
    // The storage goes with the slots and the arena; the objects are ended
    // here. Triangles own nothing: their side table goes as a whole.
    m_SideSegments.clear();
    for (std::uintptr_t& word : m_OuterTriangle.m_Nbr)
        word &= ~g3t_detail::kFlagBit;
    for (G3TSegment* s = m_SegmentHead; s;) {
        G3TSegment* next = s->m_Next;
        s->~G3TSegment();
        s = next;
    }
}

G3TVertex* G3TMesh::AddVertex(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return nullptr;
    auto* v = ::new (m_Vertices.Take()) G3TVertex();
    v->m_X = x;
    v->m_Y = y;
    v->m_Index = m_NextIndex++;
    v->m_Tri = Pack(&m_OuterTriangle, 0);
    v->m_Live = 1;
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
    auto* t = ::new (m_Triangles.Take()) G3TTriangle();
    t->m_Corner[0] = c;
    t->m_Corner[1] = a;
    t->m_Corner[2] = b;
    const std::uintptr_t outer = Pack(&m_OuterTriangle, 0);
    for (int i = 0; i < 3; ++i)
        t->m_Nbr[i] = outer;
    t->m_Mesh = this;
    t->m_Live = 1;
    ++m_TriangleCount;
    return t;
}

bool G3TMesh::RemoveVertex(G3TVertex* v)
{
    if (!v || !v->m_Live || v->GetMesh() != this)
        return false;
    --m_VertexCount;
    if (static_cast<std::size_t>(v->m_Index) < m_Extras.size())
        m_Extras[static_cast<std::size_t>(v->m_Index)] = G3TVertexExtras{};
    SetSurvivorOf(v, nullptr);
    v->m_Live = 0;
    v->~G3TVertex();
    m_Vertices.Give(v);
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
    if (!t || !t->m_Live || t->m_Mesh != this)
        return false;
    --m_TriangleCount;
    ++m_RemovalCount;
    t->m_Live = 0;
    t->~G3TTriangle();
    m_Triangles.Give(t);
    return true;
}

bool G3TMesh::GetVertices(std::vector<G3TVertex*>* array) const
{
    if (!array || !FirstVertex())
        return false;
    for (G3TVertex* v = FirstVertex(); v; v = v->GetNext())
        array->push_back(v);
    return true;
}

bool G3TMesh::GetSegments(GArrayCollection* array) const
{
    if (!array || !m_SegmentHead)
        return false;
    for (G3TSegment* s = m_SegmentHead; s; s = s->m_Next)
        array->add(s);
    return true;
}

bool G3TMesh::GetTriangles(std::vector<G3TTriangle*>* array) const
{
    if (!array || !FirstTriangle())
        return false;
    for (G3TTriangle* t = FirstTriangle(); t; t = t->GetNext())
        array->push_back(t);
    return true;
}

bool G3TMesh::HasOption(int option) const
{
    return option == 0 || (option > 0 && (m_Options & option) == option);
}

void G3TMesh::SetSide(const G3TOTri& h, G3TSegment* s)
{
    if (!s || s == &m_OuterSegment) {
        SetSideSegment(h.tri, h.orient, G3TOSeg{});
        return;
    }
    // Direction 0 when the side runs like the segment (vertex 0 to 1).
    int dir = g3t::Org(h) == s->m_Vertex[0] ? 0 : 1;
    SetSideSegment(h.tri, h.orient, G3TOSeg{s, dir});
    s->m_Tri[dir] = Pack(h.tri, h.orient);
}

G3TOSeg G3TMesh::SideSegment(const G3TTriangle* t, int side) const
{
    if (t->HasSegmentOn(side)) {
        auto it = m_SideSegments.find(Pack(t, side));
        if (it != m_SideSegments.end())
            return G3TOSeg{g3t_detail::ObjectOf<G3TSegment>(it->second), g3t_detail::SmallOf(it->second)};
    }
    return G3TOSeg{const_cast<G3TSegment*>(&m_OuterSegment), 0};
}

void G3TMesh::SetSideSegment(G3TTriangle* t, int side, const G3TOSeg& s)
{
    const std::uintptr_t key = Pack(t, side);
    if (!s.seg || s.seg == &m_OuterSegment) {
        if (t->HasSegmentOn(side)) {
            m_SideSegments.erase(key);
            t->m_Nbr[side] &= ~g3t_detail::kFlagBit;
        }
        return;
    }
    m_SideSegments[key] = Pack(s.seg, s.dir);
    t->m_Nbr[side] |= g3t_detail::kFlagBit;
}

const G3TVertexExtras* G3TMesh::ExtrasOf(const G3TVertex* v) const
{
    const auto i = static_cast<std::size_t>(v->m_Index);
    return i < m_Extras.size() ? &m_Extras[i] : nullptr;
}

G3TVertexExtras* G3TMesh::MakeExtras(const G3TVertex* v)
{
    const auto i = static_cast<std::size_t>(v->m_Index);
    if (i >= m_Extras.size())
        m_Extras.resize(i + 1);
    return &m_Extras[i];
}

G3TVertex* G3TMesh::SurvivorOf(const G3TVertex* v) const
{
    if (m_Survivors.empty())
        return nullptr;
    auto it = m_Survivors.find(v);
    return it == m_Survivors.end() ? nullptr : it->second;
}

void G3TMesh::SetSurvivorOf(const G3TVertex* v, G3TVertex* survivor)
{
    if (survivor)
        m_Survivors[v] = survivor;
    else if (!m_Survivors.empty())
        m_Survivors.erase(v);
}
