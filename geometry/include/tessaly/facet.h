#pragma once
// Facets: planar faces of a surface. A facet keeps its plane equation and
// threads the list of its boundary edges through the edges themselves; the
// list may hold several closed loops (an outer boundary and holes).

#include "tessaly/elements.h"

class TESSALY_API G3Facet : public G3Obj {
    TESSALY_POOLED_CLASS(G3Facet)

public:
    static constexpr long kDoubleSided = 1L << 0;

    G3Facet() = default;
    ~G3Facet() override;

    void Copy(GObj* source) override;
    int GetObjectType() override;

    bool GetDoubleSided() const { return TestFlag(kDoubleSided); }
    void SetDoubleSided() { SetFlag(kDoubleSided); }
    void ClearDoubleSided() { ClearFlags(kDoubleSided); }

    // Appends e, which must already name this facet as facet 1 or 2.
    void AddEdge(G3Edge* e);
    // Unlinks e and clears this facet's side of it; false if absent.
    bool RemoveEdge(G3Edge* e);
    G3Edge* GetFirstEdge() const { return m_FirstEdge; }
    G3Edge* GetLastEdge() const { return m_LastEdge; }
    // The edge after e in this facet's list (null after the last).
    G3Edge* GetNextEdge(const G3Edge* e) const { return e->GetFacetNext(this); }
    int GetEdgeCount() const;
    bool HasEdges() const { return m_FirstEdge != nullptr; }

    long GetSurface() const { return m_Surface; }
    void SetSurface(long surface) { m_Surface = surface; }
    void SetDefSurface() { m_Surface = 0; }
    G3Surface* GetParent() const { return m_Parent; }
    void SetParent(G3Surface* parent) { m_Parent = parent; }

    double* GetPlane() { return m_Plane; }
    const double* GetPlane() const { return m_Plane; }
    void SetPlane(const double* plane);
    double GetPlaneA() const { return m_Plane[0]; }
    double GetPlaneB() const { return m_Plane[1]; }
    double GetPlaneC() const { return m_Plane[2]; }
    double GetPlaneD() const { return m_Plane[3]; }

    // Area of the triangle a, b, c in space.
    static double CalcRealSquareOfTriangle(const double* a, const double* b, const double* c);

private:
    G3Edge* m_FirstEdge = nullptr;
    G3Edge* m_LastEdge = nullptr;
    long m_Surface = 0;
    G3Surface* m_Parent = nullptr;
    double m_Plane[4] = {0, 0, 0, 0};
};

// The edges of a facet in list order.
class TESSALY_API G3FacetEdgeIterator : public GIterator {
public:
    explicit G3FacetEdgeIterator(G3Facet* f) : m_Facet(f), m_Next(f ? f->GetFirstEdge() : nullptr) {}
    bool hasNext() override { return m_Next != nullptr; }
    GObj* next() override;

private:
    G3Facet* m_Facet;
    G3Edge* m_Next;
};
