#pragma once
// The mesh of the constrained triangulation engine: vertices, triangles and
// constraint segments in a plane, kept in the triangle-based representation.
//
// Every triangle knows its three corners (counterclockwise), the neighbour
// across each side and the segment lying on each side. An oriented triangle
// (G3TOTri) is a triangle together with one of its sides: orientation o
// stands for the side from corner o to corner o+1 (mod 3); its apex is
// corner o+2. A neighbour handle also records which side of the neighbour is
// shared. The mesh's outer triangle stands for everything outside the convex
// hull and its outer segment for "no segment"; neither is in the lists.
//
// Vertices and triangles live in per-mesh slot storage (mesh_slots.h),
// whose block order is their list order; segments, which are few, live in
// a per-mesh pool and a doubly linked list. Addresses never change and
// removal is O(1). A triangle holds no segment pointers: a bit in each
// neighbour word says whether that side carries a segment, and the mesh
// keeps the segments of such sides in a table (most sides carry none).

#include <cstddef>
#include <cstdint>

#include <unordered_map>
#include <vector>

#include "tessaly/containers.h"
#include "triangulation/mesh_slots.h"

class G3TVertex;
class G3TTriangle;
class G3TSegment;
class G3TMesh;
class G3Vertex;

// An oriented triangle: a triangle and one of its sides (0..2).
struct G3TOTri {
    G3TTriangle* tri = nullptr;
    int orient = 0;

    bool operator==(const G3TOTri& o) const { return tri == o.tri && orient == o.orient; }
    bool operator!=(const G3TOTri& o) const { return !(*this == o); }
};

// An oriented segment: a segment and a direction (0 along it, 1 against).
struct G3TOSeg {
    G3TSegment* seg = nullptr;
    int dir = 0;
};

namespace g3t_detail {
// Handles are stored packed: the small integer goes into the two low bits
// of the (at least 8-byte aligned) object address. The third bit is free
// for a flag of the word's owner (a triangle's "segment on this side").
constexpr std::uintptr_t kSmallBits = 3u;
constexpr std::uintptr_t kFlagBit = 4u;
inline std::uintptr_t Pack(const void* object, int small)
{
    return reinterpret_cast<std::uintptr_t>(object) | static_cast<std::uintptr_t>(small);
}
inline int SmallOf(std::uintptr_t packed)
{
    return static_cast<int>(packed & kSmallBits);
}
template <class T> inline T* ObjectOf(std::uintptr_t packed)
{
    return reinterpret_cast<T*>(packed & ~(kSmallBits | kFlagBit));
}
constexpr int kNext[3] = {1, 2, 0};
constexpr int kPrev[3] = {2, 0, 1};
} // namespace g3t_detail

// What a vertex carries for the front end beyond its position: kept by the
// mesh, by vertex index, and made on the first non-default value.
struct G3TVertexExtras {
    double height = 0;
    G3Vertex* surfaceVertex = nullptr;
    GObj* exData = nullptr;
};

// A point of the plane. Vertices are created by G3TMesh::AddVertex; they
// are plain records (no object base), the position, the triangle handle,
// the index and the mark in the vertex, the rest in the mesh's extras. A
// vertex outside any mesh keeps none of these: their getters give the
// defaults (height 0, itself as survivor, null links) and their setters
// do nothing. The survivors of duplicates, which are rare, are kept by the
// mesh in a table of their own.
class G3TVertex {
public:
    G3TVertex() = default;
    G3TVertex(const G3TVertex&) = delete;
    G3TVertex& operator=(const G3TVertex&) = delete;

    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    double GetHeight() const;
    void SetHeight(double h);
    // Position in creation order within its mesh (0, 1, ...); vertices made
    // by the engine (at constraint crossings) continue the numbering.
    int GetIndex() const { return m_Index; }
    unsigned char GetMark() const { return m_Mark; }
    void SetMark(unsigned char mark) { m_Mark = mark; }
    // The mesh that made the vertex (read through its triangle handle,
    // which always points into that mesh); null for a free vertex.
    G3TMesh* GetMesh() const;
    // An oriented triangle whose origin is this vertex; the outer triangle
    // when the vertex is in no triangle (a dropped duplicate, or a mesh
    // without triangles).
    G3TOTri GetTriangle() const;
    void SetTriangle(const G3TOTri& h);
    // The vertex that stands for this one in the triangulation: itself, or
    // the earlier vertex at the same point (within 1e-8) when this one was
    // dropped as a duplicate.
    G3TVertex* GetSurvivor();
    bool IsDuplicate() const;
    void SetSurvivor(G3TVertex* survivor);
    G3Vertex* GetSurfaceVertex() const;
    void SetSurfaceVertex(G3Vertex* v);
    GObj* GetExData() const;
    void SetExData(GObj* data);
    // The next (previous) vertex of its mesh's list; null at the ends and
    // for a vertex outside any mesh.
    G3TVertex* GetNext() const { return m_Live ? G3TSlots<G3TVertex>::Next(this) : nullptr; }
    G3TVertex* GetPrev() const { return m_Live ? G3TSlots<G3TVertex>::Prev(this) : nullptr; }

    // Copies position, height, mark, survivor and links of another vertex
    // (not the triangle handle, the list position, the mesh or the index).
    void Copy(const G3TVertex* source);

    double m_X = 0;
    double m_Y = 0;
    std::uintptr_t m_Tri = 0;
    int m_Index = 0;
    unsigned char m_Mark = 0;
    unsigned char m_Live = 0; // set while the vertex is in its mesh's list

private:
    const G3TVertexExtras* Extras() const;
    G3TVertexExtras* MakeExtras();
};

// A triangle of a mesh. Triangles are plain records (no object base):
// they are the bulk of a mesh's memory.
class G3TTriangle {
public:
    G3TTriangle() = default;
    ~G3TTriangle();
    G3TTriangle(const G3TTriangle&) = delete;
    G3TTriangle& operator=(const G3TTriangle&) = delete;

    void SetNeighbour(int side, const G3TOTri& h);
    // The segment of a side is kept by the triangle's mesh; a triangle of
    // no mesh keeps none (the call does nothing).
    void SetSegment(int side, const G3TOSeg& s);
    // Moves the triangle's side segments to the new mesh's table.
    void SetMesh(G3TMesh* mesh);
    void SetMark(unsigned char mark) { m_Mark = mark; }
    void SetAttribute(int attribute) { m_Attribute = attribute; }
    G3TOTri GetNeighbour(int side) const;
    G3TVertex* GetCorner(int index) const { return index >= 0 && index < 3 ? m_Corner[index] : nullptr; }
    G3TOSeg GetSegment(int side) const;
    G3TMesh* GetMesh() const { return m_Mesh; }
    unsigned char GetMark() const { return m_Mark; }
    bool HasAttribute() const { return m_Attribute != 0; }
    // Copies corners, neighbours, segments, mesh, mark and attribute.
    void Copy(const G3TTriangle* source);

    // The next (previous) triangle of its mesh's list; null at the ends and
    // for a triangle outside the lists (the outer triangle, a copy).
    G3TTriangle* GetNext() const { return m_Live ? G3TSlots<G3TTriangle>::Next(this) : nullptr; }
    G3TTriangle* GetPrev() const { return m_Live ? G3TSlots<G3TTriangle>::Prev(this) : nullptr; }
    int GetAttribute() const { return m_Attribute; }
    // True for a triangle with a missing (null) corner: the ghosts of the
    // construction.
    bool IsGhost() const { return !m_Corner[0] || !m_Corner[1] || !m_Corner[2]; }
    // True when side carries a segment (other than the outer segment).
    bool HasSegmentOn(int side) const { return (m_Nbr[side] & g3t_detail::kFlagBit) != 0; }

    G3TVertex* m_Corner[3] = {nullptr, nullptr, nullptr};
    // Packed neighbour handles; the flag bit marks a side with a segment.
    std::uintptr_t m_Nbr[3] = {0, 0, 0};
    G3TMesh* m_Mesh = nullptr;
    int m_Attribute = 0;
    unsigned char m_Mark = 0;
    unsigned char m_Live = 0; // set while the triangle is in its mesh's list
};

class G3TSegment : public GObj {
public:
    G3TSegment() = default;
    ~G3TSegment() override;

    // end 0: the triangle on the left of the segment (the side that runs
    // from vertex 0 to vertex 1), end 1: the one on the right.
    virtual void SetTriangle(int end, const G3TOTri& h);
    virtual void SetVertex(int index, G3TVertex* v);
    virtual void SetNeighbourSegment(int end, const G3TOSeg& s);
    virtual void SetMesh(G3TMesh* mesh);
    virtual void SetMark(unsigned char mark);
    virtual void SetAttribute(int attribute);
    virtual G3TOTri GetTriangle(int end) const;
    virtual G3TVertex* GetVertex(int index) const;
    virtual G3TOSeg GetNeighbourSegment(int end) const;
    virtual G3TMesh* GetMesh() const;
    virtual unsigned char GetMark() const;
    virtual bool HasAttribute() const;
    void Copy(GObj* source) override;

    G3TSegment* GetNext() const { return m_Next; }
    G3TSegment* GetPrev() const { return m_Prev; }
    int GetAttribute() const { return m_Attribute; }

    G3TVertex* m_Vertex[2] = {nullptr, nullptr};
    std::uintptr_t m_Nbr[2] = {0, 0};
    std::uintptr_t m_Tri[2] = {0, 0};
    G3TMesh* m_Mesh = nullptr;
    G3TSegment* m_Prev = nullptr;
    G3TSegment* m_Next = nullptr;
    int m_Attribute = 0;
    unsigned char m_Mark = 0;
};

inline G3TMesh* G3TVertex::GetMesh() const
{
    return m_Tri ? g3t_detail::ObjectOf<G3TTriangle>(m_Tri)->m_Mesh : nullptr;
}

// ---------------------------------------------------------------------------
// Navigation on oriented triangles (inline: the hot paths of the engine).
namespace g3t {

inline G3TVertex* Org(const G3TOTri& h)
{
    return h.tri->m_Corner[h.orient];
}
inline G3TVertex* Dest(const G3TOTri& h)
{
    return h.tri->m_Corner[g3t_detail::kNext[h.orient]];
}
inline G3TVertex* Apex(const G3TOTri& h)
{
    return h.tri->m_Corner[g3t_detail::kPrev[h.orient]];
}
inline void SetOrg(const G3TOTri& h, G3TVertex* v)
{
    h.tri->m_Corner[h.orient] = v;
}
inline void SetDest(const G3TOTri& h, G3TVertex* v)
{
    h.tri->m_Corner[g3t_detail::kNext[h.orient]] = v;
}
inline void SetApex(const G3TOTri& h, G3TVertex* v)
{
    h.tri->m_Corner[g3t_detail::kPrev[h.orient]] = v;
}
// The next side counterclockwise in the same triangle (origin = old dest).
inline G3TOTri Lnext(const G3TOTri& h)
{
    return G3TOTri{h.tri, g3t_detail::kNext[h.orient]};
}
inline G3TOTri Lprev(const G3TOTri& h)
{
    return G3TOTri{h.tri, g3t_detail::kPrev[h.orient]};
}
inline G3TOTri Unpack(std::uintptr_t packed)
{
    return G3TOTri{g3t_detail::ObjectOf<G3TTriangle>(packed), g3t_detail::SmallOf(packed)};
}
// The same side seen from the neighbouring triangle (reversed direction).
inline G3TOTri Sym(const G3TOTri& h)
{
    return Unpack(h.tri->m_Nbr[h.orient]);
}
// Makes a and b neighbours across their sides.
// One-sided: a's side points at b, b is left as it is (a's segment flag
// stays: it belongs to the side, not to the neighbour).
inline void PointAt(const G3TOTri& a, const G3TOTri& b)
{
    std::uintptr_t& word = a.tri->m_Nbr[a.orient];
    word = (word & g3t_detail::kFlagBit) | g3t_detail::Pack(b.tri, b.orient);
}
inline void Bond(const G3TOTri& a, const G3TOTri& b)
{
    PointAt(a, b);
    PointAt(b, a);
}
// The segment on h's side (the mesh's outer segment for none) and its
// oriented handle; defined after G3TMesh.
G3TSegment* SegmentOn(const G3TOTri& h);
G3TOSeg SegHandleOn(const G3TOTri& h);

} // namespace g3t

// ---------------------------------------------------------------------------
// A pool of same-sized objects in blocks that grow with the mesh: small
// blocks come from the mesh's arena, large ones are 2 MiB chunks mapped
// like the slot storage's (g3t_detail::MapChunk). Freed slots are reused;
// the blocks go away with the pool.
class G3TNodePool {
public:
    G3TNodePool(GMemoryAllocator* arena, std::size_t itemSize);
    ~G3TNodePool();
    G3TNodePool(const G3TNodePool&) = delete;
    G3TNodePool& operator=(const G3TNodePool&) = delete;
    void* Take();
    void Give(void* p);

private:
    void NewBlock();

    GMemoryAllocator* m_Arena;
    std::size_t m_ItemSize;
    std::size_t m_BlockItems = 32;
    char* m_Cursor = nullptr;
    char* m_End = nullptr;
    void* m_Free = nullptr;
    void** m_LargeBlocks = nullptr; // linked through their first word
};

class G3TMesh : public GObj {
public:
    G3TMesh();
    ~G3TMesh() override;
    G3TMesh(const G3TMesh&) = delete;
    G3TMesh& operator=(const G3TMesh&) = delete;

    // Appends a vertex; null for a NaN or infinite coordinate.
    virtual G3TVertex* AddVertex(double x, double y);
    // Appends a segment from a to b; null when a or b is null or belongs to
    // another mesh, or when a == b. The segment is not bonded to triangles.
    virtual G3TSegment* AddSegment(G3TVertex* a, G3TVertex* b);
    // Appends a triangle with corners (a, b, c); it stores them as c, a, b
    // (the same cyclic order). A null corner makes a ghost triangle.
    // Neighbours start as the outer triangle, side segments as the outer
    // segment.
    virtual G3TTriangle* AddTriangle(G3TVertex* a, G3TVertex* b, G3TVertex* c);
    // O(1) removal and destruction; false (nothing done) for null or an
    // object of another mesh. Removing a vertex or segment that triangles
    // still reference is the caller's mistake.
    virtual bool RemoveVertex(G3TVertex* v);
    virtual bool RemoveSegment(G3TSegment* s);
    virtual bool RemoveTriangle(G3TTriangle* t);
    // Fill array in list order; false when the list is empty (or array null).
    // Vertices and triangles are plain records, not objects: they go to a
    // vector.
    virtual bool GetVertices(std::vector<G3TVertex*>* array) const;
    virtual bool GetSegments(GArrayCollection* array) const;
    virtual bool GetTriangles(std::vector<G3TTriangle*>* array) const;
    // Option 0 (constraints are forced in by edge flips) is always on; the
    // others are the bits a front end sets (G3TriInterface::BasicOptions):
    // true when every bit of option is set.
    virtual bool HasOption(int option) const;
    void SetOptions(int options) { m_Options = options; }
    int GetOptions() const { return m_Options; }

    G3TVertex* FirstVertex() const { return m_Vertices.First(); }
    G3TTriangle* FirstTriangle() const { return m_Triangles.First(); }
    G3TSegment* FirstSegment() const { return m_SegmentHead; }
    int GetVertexCount() const { return m_VertexCount; }
    int GetTriangleCount() const { return m_TriangleCount; }
    int GetSegmentCount() const { return m_SegmentCount; }
    G3TTriangle* GetOuterTriangle() { return &m_OuterTriangle; }
    G3TSegment* GetOuterSegment() { return &m_OuterSegment; }
    G3TOTri OuterHandle() { return G3TOTri{&m_OuterTriangle, 0}; }
    bool IsOuter(const G3TOTri& h) const { return h.tri == &m_OuterTriangle; }
    bool HasSegment(const G3TOTri& h) const { return h.tri->HasSegmentOn(h.orient); }
    // Hull edges found by the last triangulation.
    int GetHullEdgeCount() const { return m_HullEdgeCount; }
    void SetHullEdgeCount(int n) { m_HullEdgeCount = n; }
    bool IsTriangulated() const { return m_Triangulated; }
    void SetTriangulated(bool t) { m_Triangulated = t; }
    // Grows with every triangle removal: a remembered handle is valid only
    // while this number is unchanged.
    unsigned long GetRemovalCount() const { return m_RemovalCount; }

    // Sets the side segment of h and, for a real segment, the segment's
    // triangle on that side.
    void SetSide(const G3TOTri& h, G3TSegment* s);
    // The table of side segments behind G3TTriangle's Get/SetSegment: the
    // outer segment for a side without one.
    G3TOSeg SideSegment(const G3TTriangle* t, int side) const;
    void SetSideSegment(G3TTriangle* t, int side, const G3TOSeg& s);
    // The extras of a vertex of this mesh: null when it has none yet, or
    // made (default values) on request.
    const G3TVertexExtras* ExtrasOf(const G3TVertex* v) const;
    G3TVertexExtras* MakeExtras(const G3TVertex* v);
    // The survivor of a dropped duplicate (null for none); null clears it.
    G3TVertex* SurvivorOf(const G3TVertex* v) const;
    void SetSurvivorOf(const G3TVertex* v, G3TVertex* survivor);

private:
    GMemoryAllocator m_Arena;
    g3t_detail::SlotBlockSource m_Blocks;
    G3TSlots<G3TVertex> m_Vertices;
    G3TSlots<G3TTriangle> m_Triangles;
    G3TNodePool m_SegmentPool;
    G3TTriangle m_OuterTriangle;
    G3TSegment m_OuterSegment;
    // Packed (triangle, side) -> packed (segment, direction).
    std::unordered_map<std::uintptr_t, std::uintptr_t> m_SideSegments;
    std::vector<G3TVertexExtras> m_Extras; // by vertex index
    std::unordered_map<const G3TVertex*, G3TVertex*> m_Survivors;
    G3TSegment* m_SegmentHead = nullptr;
    G3TSegment* m_SegmentTail = nullptr;
    int m_VertexCount = 0;
    int m_TriangleCount = 0;
    int m_SegmentCount = 0;
    int m_NextIndex = 0;
    int m_HullEdgeCount = 0;
    unsigned long m_RemovalCount = 0;
    bool m_Triangulated = false;
    int m_Options = 0;
};

namespace g3t {
inline G3TOSeg SegHandleOn(const G3TOTri& h)
{
    const G3TMesh* mesh = h.tri->m_Mesh;
    return mesh ? mesh->SideSegment(h.tri, h.orient) : G3TOSeg{};
}
inline G3TSegment* SegmentOn(const G3TOTri& h)
{
    return SegHandleOn(h).seg;
}
} // namespace g3t
