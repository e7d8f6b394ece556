#pragma once
// G3ContourDivider turns planar, possibly self-intersecting and overlapping
// closed contours into simple contours sorted into outer contours and holes
// (even-odd rule per contour), optionally with every hole bridged into the
// contour around it, and hands them back edge by edge with consistent
// orientation: every contour of one kind runs the same way, the other kind
// the other way. Each edge end carries a kind that says whether a drawn
// line begins or ends there.
//
// Calling order: BeginLoad; per contour BeginLoadContour, LoadEdge...,
// EndLoadContour; EndLoad, during which the five unload callbacks of a
// derived class receive the result. Calls out of this order are ignored
// (BeginLoad during a load starts over). A divider can be used again after
// EndLoad.

#include "tessaly/contour.h"

class G3Surface;

class TESSALY_API G3ContourDivider : public GObj {
public:
    // Bridge holes into their outer contours (the default mode).
    static constexpr int kLinkHoles = 1;
    // Edge end kinds: a drawn line begins or ends here, or runs on.
    static constexpr int kLineBreak = 1;
    static constexpr int kLineRuns = 2;
    // The 3-bit group of an edge's flags: a change between two visible
    // neighbours breaks the drawn line.
    static constexpr long kGroupMask = 0x70;

    G3ContourDivider();
    ~G3ContourDivider() override;
    G3ContourDivider(const G3ContourDivider&) = delete;
    G3ContourDivider& operator=(const G3ContourDivider&) = delete;

    // Starts a load (clearing any load in progress): mode kLinkHoles bridges
    // holes, any other value leaves them as contours; bridge edges get
    // bridgeFlags.
    void BeginLoad(int mode, int bridgeFlags);
    // Opens a contour; when one is open, later edges go on into it.
    void BeginLoadContour();
    // One edge of the open contour, from start to end (x, y, z each), with
    // its flags; the tags come back as the vertex tags of unloaded edges.
    void LoadEdge(const double* start, const double* end, int flags, unsigned long startTag, unsigned long endTag);
    // Closes the open contour; one without edges is dropped.
    void EndLoadContour();
    // Divides and reports the result through the callbacks, then clears.
    // Without any loaded contour no callback runs.
    void EndLoad();

    // The output channel; nothing happens here.
    virtual void BeginUnload();
    virtual void BeginUnloadContour(int edgeCount, bool isHole);
    // The points are valid during the call only. Edges of a reversed
    // contour report both tags as 0.
    virtual void UnloadEdge(const double* start, int startKind, const double* end, int endKind, int flags,
                            unsigned long startTag, unsigned long endTag);
    virtual void EndUnloadContour();
    virtual void EndUnload();

protected:
    // Destroys every contour and the work surface; mode and bridge flags go
    // back to their defaults.
    void Clear();
    // +1 for a contour running clockwise in its projection axes, -1 counter-
    // clockwise, 0 when no turn at its extreme vertex has an area.
    static int GetSignOfOrientedSquare(G3EdgeList* contour);
    // Moves every form-making mark one edge forward in stored order (the
    // first edge ends without one, the last edge's is dropped): the marks
    // of a contour about to be walked backwards.
    static void ReverseContourFlags(G3EdgeList* contour);

private:
    void GiveEveryContourOnePlane();
    void Unload(GArrayCollection* contours);
    void UnloadContour(G3EdgeList* contour, bool reversed);
    static int EndKind(G3Edge* neighbour, G3Edge* edge);

    int m_Mode = kLinkHoles;
    G3EdgeList* m_OpenContour = nullptr;
    GArrayCollection* m_Loaded = nullptr;
    G3Surface* m_Work = nullptr;
    int m_BridgeFlags = 0;
};
