#pragma once
// G3QuadraSurfaceTree: an octree over the facets of one surface. Built once
// (MakeTree), it lists the facets that a segment may meet: those held by
// the nodes whose boxes the segment touches, or, for picking with a
// tolerance, whose boxes meet a square tube about the segment. The answers
// are candidates; the exact ray-facet test is the caller's (for example
// G3BooleanCalculator::TestRayAndFacetList).
//
// A node holds up to 200 facets before it splits into 8 octants, down to
// level 4. A facet goes into every child whose box meets its own box, so it
// may live in several leaves; a facet larger than the node stays at the
// node, and so does one that no child takes (a box that is not finite).
//
// Marks: building and the queries use the facets' element mark (G3Obj
// kMark) and clear it again before they return. The facets' marks must be
// clear when they are called (checked in debug builds).

#include "tessaly/containers.h"
#include "tessaly/math.h"

class G3Facet;
class G3Surface;

class TESSALY_API G3QuadraSurfaceTreeNode : public GObj {
    TESSALY_POOLED_CLASS(G3QuadraSurfaceTreeNode)

public:
    static constexpr int kChildCount = 8;
    // A node holding more facets than this splits, while its level is below
    // kMaxLevel.
    static constexpr int kSplitThreshold = 200;
    static constexpr int kMaxLevel = 4;

    G3QuadraSurfaceTreeNode(const GEnvelope& box, int level);
    // Deletes the children (and theirs).
    ~G3QuadraSurfaceTreeNode() override;
    G3QuadraSurfaceTreeNode(const G3QuadraSurfaceTreeNode&) = delete;
    G3QuadraSurfaceTreeNode& operator=(const G3QuadraSurfaceTreeNode&) = delete;

    const GEnvelope& GetBox() const { return m_Box; }
    int GetLevel() const { return m_Level; }
    bool IsSplit() const { return m_Children[0] != nullptr; }
    // Child k takes the octant whose x half is bit 2 of k, y half bit 1 and
    // z half bit 0 (0 the lower half); null before the node splits.
    G3QuadraSurfaceTreeNode* GetChild(int k) const { return k >= 0 && k < kChildCount ? m_Children[k] : nullptr; }
    // The facets held at this node (not owned).
    GArrayCollection* GetFacets() { return &m_Facets; }
    const GArrayCollection* GetFacets() const { return &m_Facets; }

    // Puts facet f, whose envelope is box, into this node or its children.
    void Insert(G3Facet* f, const GEnvelope& box);
    // Trims every facet list of the subtree to its size.
    void ReallocByRealSize();

private:
    void Split();
    // Inserts f into every child whose box meets box; false when none does.
    bool OfferToChildren(G3Facet* f, const GEnvelope& box);
    void SpreadFacetsToChildren();

    GEnvelope m_Box;
    G3QuadraSurfaceTreeNode* m_Children[kChildCount] = {};
    int m_Level;
    GArrayCollection m_Facets;
};

class TESSALY_API G3QuadraSurfaceTree : public GObj {
public:
    // s is not owned; no tree is built yet.
    explicit G3QuadraSurfaceTree(G3Surface* s);
    ~G3QuadraSurfaceTree() override;
    G3QuadraSurfaceTree(const G3QuadraSurfaceTree&) = delete;
    G3QuadraSurfaceTree& operator=(const G3QuadraSurfaceTree&) = delete;

    // Builds the tree over the surface's facets, replacing an earlier tree.
    // The root box covers the surface's finite vertices. False (no tree)
    // without a surface or without a finite vertex.
    bool MakeTree();
    // Appends to out each facet, once, held by a node whose box the segment
    // p-q touches. False without a tree or with a null argument.
    bool FindIntersection(double* p, double* q, GArrayCollection* out);
    // The same for the nodes whose boxes meet the square tube of side
    // aperture about the segment (in the segment's own frame). For p = q
    // the tube is the cube of side aperture about p. False without a tree,
    // with a null argument or with coordinates or an aperture that are not
    // finite.
    bool FindIntersectionInApertura(double* p, double* q, double aperture, GArrayCollection* out);

    G3QuadraSurfaceTreeNode* GetRoot() const { return m_Root; }
    G3Surface* GetSurface() const { return m_Surface; }
    // The root's box; empty before MakeTree.
    const GEnvelope& GetEnvelope() const { return m_Envelope; }

private:
    void DeleteTree();

    G3QuadraSurfaceTreeNode* m_Root = nullptr;
    G3Surface* m_Surface;
    GEnvelope m_Envelope;
};
