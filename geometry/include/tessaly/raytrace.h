#pragma once
// Ray picking: a ray given by two points is traced through a list of facets
// (G3BooleanCalculator::TestRayAndFacetList) and every place where it meets
// a facet's inside, an edge or a vertex is reported to a result object.
//
// G3RayTraceResult is the interface a caller may implement to collect hits
// its own way; G3RayTraceMetricResult keeps the hit nearest to an eye
// position and a list of every facet and object hit sorted by distance.

#include "tessaly/elements.h"
#include "tessaly/export.h"

class G3Facet;

class TESSALY_API G3RayTraceResult {
public:
    virtual ~G3RayTraceResult();
    // The reference point for distances.
    virtual void SetEyePosition(double x, double y, double z) = 0;
    // The ray meets the inside of a facet; axis1 and axis2 (principal
    // curvature axes) may be null. True when this hit became the nearest.
    virtual bool FindFacet(const double* point, const double* normal, const double* axis1, const double* axis2,
                           G3Facet* facet) = 0;
    // The ray meets an object of the caller's own kind.
    virtual bool FindObject(const double* point, const double* normal, const double* axis1, const double* axis2,
                            void* data, void* modelerData) = 0;
    virtual bool FindEdge(const double* point, const double* normal, G3Edge* edge) = 0;
    virtual bool FindVertex(const double* point, const double* normal, G3Vertex* vertex) = 0;
};

class TESSALY_API G3RayTraceMetricResult : public G3RayTraceResult {
public:
    // What the nearest hit was, so the caller knows which fields are valid.
    enum HitKind { HIT_NONE = 0, HIT_FACET = 1, HIT_EDGE = 2, HIT_VERTEX = 3, HIT_OBJECT = 4 };

    // One facet or object hit of the list.
    struct Hit {
        double distance;
        double point[3];
        double normal[3];
        double axis1[3]; // zero when not supplied
        double axis2[3];
        G3Facet* facet;
        void* data;
        void* modelerData;
        Hit* next;
    };

    // No hit yet (distance -1); the eye at the origin, or at eye.
    G3RayTraceMetricResult();
    explicit G3RayTraceMetricResult(double* eye);
    ~G3RayTraceMetricResult() override;
    G3RayTraceMetricResult(const G3RayTraceMetricResult&) = delete;
    G3RayTraceMetricResult& operator=(const G3RayTraceMetricResult&) = delete;

    void SetEyePosition(double x, double y, double z) override;
    bool FindFacet(const double* point, const double* normal, const double* axis1, const double* axis2,
                   G3Facet* facet) override;
    bool FindObject(const double* point, const double* normal, const double* axis1, const double* axis2, void* data,
                    void* modelerData) override;
    bool FindEdge(const double* point, const double* normal, G3Edge* edge) override;
    bool FindVertex(const double* point, const double* normal, G3Vertex* vertex) override;

    // The nearest hit: distance from the eye (-1 while there is none), its
    // point and normal, and the curvature axes when the hit supplied them
    // (zero otherwise).
    double GetDistance() const { return m_Distance; }
    HitKind GetHitKind() const { return m_Kind; }
    double HitPointGetX() const { return m_Point[0]; }
    double HitPointGetY() const { return m_Point[1]; }
    double HitPointGetZ() const { return m_Point[2]; }
    double HitPointNormalGetX() const { return m_Normal[0]; }
    double HitPointNormalGetY() const { return m_Normal[1]; }
    double HitPointNormalGetZ() const { return m_Normal[2]; }
    double HitCurvAxis1GetX() const { return m_Axis1[0]; }
    double HitCurvAxis1GetY() const { return m_Axis1[1]; }
    double HitCurvAxis1GetZ() const { return m_Axis1[2]; }
    double HitCurvAxis2GetX() const { return m_Axis2[0]; }
    double HitCurvAxis2GetY() const { return m_Axis2[1]; }
    double HitCurvAxis2GetZ() const { return m_Axis2[2]; }
    // The element of the nearest hit, valid for its kind (a facet for
    // HIT_FACET, an edge for HIT_EDGE, the data pointers for HIT_OBJECT);
    // a nearer hit of another kind leaves the others as they were (an
    // object hit clears the facet).
    G3Facet* GetHitFacet() const { return m_Facet; }
    G3Edge* GetHitEdge() const { return m_Edge; }
    void* GetObjectData() const { return m_Data; }
    void* GetModelerData() const { return m_ModelerData; }
    // Every facet and object hit, ascending by distance (hits at equal
    // distances in the order they came).
    const Hit* GetFirstHit() const { return m_Hits; }
    int GetHitCount() const;

private:
    double DistanceTo(const double* point) const;
    void Insert(Hit* hit);
    Hit* MakeHit(double distance, const double* point, const double* normal, const double* axis1, const double* axis2);
    void Take(HitKind kind, double distance, const double* point, const double* normal, const double* axis1,
              const double* axis2);

    double m_Distance = -1.0;
    double m_Point[3] = {0, 0, 0};
    double m_Normal[3] = {0, 0, 0};
    double m_Axis1[3] = {0, 0, 0};
    double m_Axis2[3] = {0, 0, 0};
    G3Edge* m_Edge = nullptr;
    G3Facet* m_Facet = nullptr;
    void* m_Data = nullptr;
    void* m_ModelerData = nullptr;
    HitKind m_Kind = HIT_NONE;
    Hit* m_Hits = nullptr;
    double m_Eye[3] = {0, 0, 0};
};
