#pragma once
// The working data of a body during a boolean or a query: a class per vertex
// and, per facet, a class, a widened envelope and the intersection pieces
// found on it. They live in tables of the provider, keyed by element, so the
// elements' own extended-data slots stay free for the host and for the
// other algorithms, and nothing points into freed memory once the provider
// goes.
#include <unordered_map>

#include "tessaly/boolean.h"
#include "tessaly/intervals.h"
#include "tessaly/surface.h"

class GBooleanFacet {
public:
    GBooleanFacet() = default;
    ~GBooleanFacet() { delete m_Pieces; }
    GBooleanFacet(const GBooleanFacet&) = delete;
    GBooleanFacet& operator=(const GBooleanFacet&) = delete;

    // The facet's envelope widened by the envelope widening, formed on first
    // use (a facet announced before its edges exist has no box yet).
    const GEnvelope& GetEnvelope(G3Facet* f);
    SURF_CLASSIFY m_Class = SC_UNDECIDED;
    // The intersection pieces, made on first use.
    G3IntervalList* GetPieces();
    G3IntervalList* m_Pieces = nullptr;

private:
    GEnvelope m_Envelope;
    bool m_HasEnvelope = false;
};

struct GBooleanVertex {
    SURF_CLASSIFY m_Class = SC_UNDECIDED;
};

class G3SurfaceBooleanProvider : public G3ShellExDataProvider {
public:
    // previous: the provider the body had, given back by CloseBoolean.
    explicit G3SurfaceBooleanProvider(G3ShellExDataProvider* previous) : m_Previous(previous) {}
    ~G3SurfaceBooleanProvider() override = default;

    void OpenExDataVertex(G3Vertex* v) override;
    void CloseExDataVertex(G3Vertex* v) override;
    void OpenExDataFacet(G3Facet* f) override;
    void CloseExDataFacet(G3Facet* f) override;
    bool IsExDataVertex() override { return true; }
    bool IsExDataFacet() override { return true; }

    // The data of an element of this body; made when missing.
    GBooleanFacet& Facet(const G3Facet* f) { return m_Facets[f]; }
    SURF_CLASSIFY& VertexClass(const G3Vertex* v) { return m_Vertices[v].m_Class; }
    G3ShellExDataProvider* GetPrevious() const { return m_Previous; }

    // The provider of s when it is a boolean one, else null.
    static G3SurfaceBooleanProvider* Of(const G3Shell* s);
    // The working envelope of f: from its body's provider, or formed now
    // (widened the same way) when f's body has none.
    static GEnvelope WorkingEnvelope(G3Facet* f);

private:
    std::unordered_map<const G3Vertex*, GBooleanVertex> m_Vertices;
    std::unordered_map<const G3Facet*, GBooleanFacet> m_Facets;
    G3ShellExDataProvider* m_Previous;
};
