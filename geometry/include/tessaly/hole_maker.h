#pragma once
// Openings (windows, doors, roof lights) cut through the thick panels of a
// surface: walls, or roofs with thickness. A panel is two roughly parallel
// facets; an opening is an outline and a direction. The outline is projected
// along the direction onto both facets of the panel it passes through, each
// facet is rebuilt with the projected outlines as holes, and side facets
// (reveals) join the two projections. Rebuilt facets keep the roof or wall
// data (section id and facet type, see wall_data.h) of the facets they
// replace; reveals carry none.
//
// Typical use:
//
//   G3HoleMaker maker(wall);
//   maker.AddHoleContour(&outline, &direction); // once per opening
//   maker.MakeHoles();
//
// An opening is skipped without a message when its direction does not pass
// through two facets, when its points do not all pass through the same two
// facets, when its projection does not lie strictly inside both of them, or
// when it crosses or overlaps an opening already placed on one of them.
//
// MakeHoles changes the calling thread's current pair of the wall data
// provider and leaves it at (0, 0).

#include <vector>

#include "tessaly/containers.h"
#include "tessaly/elements.h"

class G3Facet;
class G3Surface;

// The openings found on one panel: facet A (the first met along the
// directions) and facet B behind it, and the projected outlines on each
// (lists of G3Point, closed without repeating their first point; the j-th
// on A belongs with the j-th on B). The record owns the lists and their
// points, not the facets.
class TESSALY_API G3HolePanel : public GObj {
public:
    G3HolePanel(G3Facet* a, G3Facet* b);
    ~G3HolePanel() override;
    G3HolePanel(const G3HolePanel&) = delete;
    G3HolePanel& operator=(const G3HolePanel&) = delete;

    // A copy with copies of every outline and point.
    G3HolePanel* DuplicatePanel() const;

    // Takes ownership of the two outlines.
    void AddOutlines(GArrayCollection* onA, GArrayCollection* onB);

    G3Facet* GetFacetA() const { return m_A; }
    G3Facet* GetFacetB() const { return m_B; }
    // Once the facets are rebuilt the pointers would dangle: MakeHoles
    // clears them.
    void ForgetFacets();
    int GetOutlineCount() const { return m_OnA->count(); }
    // Null out of range.
    GArrayCollection* GetOutlineOnA(int j) const;
    GArrayCollection* GetOutlineOnB(int j) const;

private:
    G3Facet* m_A;
    G3Facet* m_B;
    GArrayCollection* m_OnA;
    GArrayCollection* m_OnB;
};

class TESSALY_API G3HoleMaker {
public:
    // The surface is not owned; it must outlive MakeHoles.
    explicit G3HoleMaker(G3Surface* surface);
    // Copies hold copies of every stored outline, direction and panel
    // record (the surface is shared: it is not owned).
    G3HoleMaker(const G3HoleMaker& other);
    G3HoleMaker& operator=(const G3HoleMaker& other);
    ~G3HoleMaker();

    // Stores an opening: copies of the outline's points (G3Point objects, a
    // closed polyline whose last point repeats the first; an outline that
    // does not close is closed, and points repeated one after the other are
    // stored once) and the direction made unit length. A null outline, one
    // with fewer than 3 distinct points or a point that is not finite, and a
    // null, zero or non-finite direction are ignored. Returns false in every
    // case: whether the opening was stored shows in GetOpeningCount.
    bool AddHoleContour(GArrayCollection* outline, G3Point* direction);

    // Cuts every stored opening (the panel records of an earlier call are
    // dropped first, so a second call looks the openings up again against
    // the rebuilt surface). Each facet that receives holes is rebuilt once,
    // with its earlier holes and all its new ones. When anything was cut
    // the surface is then welded and repaired (RemoveEqualsVertexAndDivide-
    // Edges, RemoveTrivialFacets, Update(CHECK_LEVEL_1002)); when nothing
    // was cut the surface is not touched.
    void MakeHoles();

    G3Surface* GetSurface() const { return m_Surface; }
    // Stored openings.
    int GetOpeningCount() const { return m_Outlines.count(); }
    // Panel records of the last MakeHoles and the openings cut in it.
    int GetPanelCount() const { return m_Panels.count(); }
    // Null out of range.
    G3HolePanel* GetPanel(int k) const;
    int GetCutCount() const;

protected:
    // Looks every stored opening up and files it in the panel records.
    void FillHoleDataList();
    // Finds the panel that the outline passes through along the unit
    // direction and projects the outline onto its two facets. On success A
    // and B are set and *onA, *onB receive new point lists owned by the
    // caller; on failure nothing is left allocated and the result is false.
    bool SurfaceGetFacetForHole(GArrayCollection* outline, G3Point* direction, G3Facet*& a, G3Facet*& b,
                                GArrayCollection** onA, GArrayCollection** onB);
    // Adds the loops of the facet (its outer loop and its holes, without
    // bridges) as facets of new vertices; inside a complex facet they make
    // up the rebuilt facet. Returns the number of loops added.
    int AddFacet(G3Facet* facet);
    // Adds a facet of new vertices at the points of the list; inside a
    // complex facet it becomes a hole. False when no facet was made.
    bool AddFacet(GArrayCollection* points);
    // The reveals between two corresponding outlines: one quad of new
    // vertices per outline side.
    void AddFacets(GArrayCollection* onA, GArrayCollection* onB);

private:
    // True when the projected outline crosses, touches, contains or lies in
    // an outline already filed for the same facet.
    bool OverlapsFiledOpening(G3Facet* facet, GArrayCollection* outline) const;
    // Rebuilds one facet with the holes filed for it (the facet stays as it
    // is when its loops cannot be traced; the lookup has already made sure
    // that they can).
    void RebuildFacet(G3Facet* facet);
    void AddReveals();
    void DeletePanels();
    void DeleteOpenings();
    void CopyFrom(const G3HoleMaker& other);
    // The facet's closed loops (outer loop and holes, bridges left out) as
    // vertex sequences; false when none can be traced.
    static bool FacetLoops(G3Facet* facet, std::vector<std::vector<G3Vertex*>>& loops);

    G3Surface* m_Surface;
    GArrayCollection m_Outlines;
    GArrayCollection m_Directions;
    GArrayCollection m_Panels;
};
