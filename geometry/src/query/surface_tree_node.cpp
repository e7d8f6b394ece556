// A node of the facet octree: its box, its facets and its 8 children.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tessaly/facet.h"
#include "tessaly/surface_tree.h"

TESSALY_DEFINE_POOLED_CLASS(G3QuadraSurfaceTreeNode, "G3QuadraSurfaceTreeNode", 4096)

namespace {
double SmallestExtent(const GEnvelope& box)
{
    return std::min({std::fabs(box.XSize()), std::fabs(box.YSize()), std::fabs(box.ZSize())});
}

double LargestExtent(const GEnvelope& box)
{
    return std::max({std::fabs(box.XSize()), std::fabs(box.YSize()), std::fabs(box.ZSize())});
}

GEnvelope OctantBox(const GEnvelope& box, int k)
{
    double lo[3], hi[3];
    const int halves[3] = {(k >> 2) & 1, (k >> 1) & 1, k & 1};
    for (int a = 0; a < 3; ++a) {
        const double centre = (box.GetMin(a) + box.GetMax(a)) / 2;
        lo[a] = halves[a] ? centre : box.GetMin(a);
        hi[a] = halves[a] ? box.GetMax(a) : centre;
    }
    return GEnvelope(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}
} // namespace

G3QuadraSurfaceTreeNode::G3QuadraSurfaceTreeNode(const GEnvelope& box, int level) : m_Box(box), m_Level(level) {}

G3QuadraSurfaceTreeNode::~G3QuadraSurfaceTreeNode()
{
    for (G3QuadraSurfaceTreeNode* child : m_Children)
        delete child;
}

void G3QuadraSurfaceTreeNode::Insert(G3Facet* f, const GEnvelope& box)
{
    if (!IsSplit()) {
        m_Facets.add(f);
        if (m_Level < kMaxLevel && m_Facets.size() > kSplitThreshold) {
            Split();
            SpreadFacetsToChildren();
        }
        return;
    }
    if (SmallestExtent(box) <= LargestExtent(m_Box) && OfferToChildren(f, box))
        return;
    // Larger than this node, or no child took it: it stays here.
    m_Facets.add(f);
    f->SetMark();
}

void G3QuadraSurfaceTreeNode::Split()
{
    for (int k = 0; k < kChildCount; ++k)
        m_Children[k] = new G3QuadraSurfaceTreeNode(OctantBox(m_Box, k), m_Level + 1);
}

bool G3QuadraSurfaceTreeNode::OfferToChildren(G3Facet* f, const GEnvelope& box)
{
    bool accepted = false;
    for (G3QuadraSurfaceTreeNode* child : m_Children) {
        if (!child->GetBox().IsIntersectXYZ(&box))
            continue;
        child->Insert(f, box);
        accepted = true;
    }
    return accepted;
}

// After a split: the facets a child takes leave this node; the others (a
// facet kept here as too large, or one no child meets) stay.
void G3QuadraSurfaceTreeNode::SpreadFacetsToChildren()
{
    std::vector<G3Facet*> held;
    held.reserve(static_cast<std::size_t>(m_Facets.size()));
    for (int k = 0; k < m_Facets.size(); ++k)
        held.push_back(static_cast<G3Facet*>(m_Facets.get(k)));
    m_Facets.clear();
    for (G3Facet* f : held) {
        GEnvelope box;
        if (f->GetMark() || !f->FormEnvelope(&box) || !OfferToChildren(f, box))
            m_Facets.add(f);
    }
}

void G3QuadraSurfaceTreeNode::ReallocByRealSize()
{
    m_Facets.ReallocByRealSize();
    for (G3QuadraSurfaceTreeNode* child : m_Children)
        if (child)
            child->ReallocByRealSize();
}
