#pragma once
// Roof and wall data: every facet a roof generator makes carries a pair
// (section id, facet type) as extended data through one library-wide
// provider; the hole maker reads the pairs of the facets it rebuilds and
// gives them to their replacements.
//
// The provider keeps a current pair: while it is not (0, ...), every new
// object gets a record of it. Generators and hole makers set the pair around
// the facets they make and reset it to (0, 0) afterwards. The pair is kept
// per thread, so generations on different threads do not mix their data.

#include "tessaly/elements.h"

enum ROOF_FACET_TYPE {
    ROOF_FACET_NONE = 0,  // an object without roof data
    ROOF_FACET_UPPER = 1, // the upper roof face, or the only one without thickness
    ROOF_FACET_LOWER = 2, // the lower roof face of a thick roof
    ROOF_FACET_EAVE = 3,  // a band along an eave
    ROOF_FACET_GABLE = 4, // a band along a gable edge
};

class TESSALY_API G3WallDataProvider : public G3ExDataProvider {
public:
    // The one provider of the library, registered with G3Obj::AddProvider on
    // first use.
    static G3WallDataProvider* Get();

    void FreeExData(void* data) override;
    // Attaches a record of the current pair when its section id is not 0.
    void OpenExData(G3Obj* obj) override;
    // A facet's record becomes the current pair; anything else, or a facet
    // without a record, makes it (0, 0).
    void SetExData(G3Obj* obj) override;
    // The record of source, if any, copied to target.
    void CopyExData(G3Obj* target, G3Obj* source) override;

    // The current pair of the calling thread.
    void SetCurrent(int sectionId, ROOF_FACET_TYPE type);
    int GetCurrentSectionId() const;
    ROOF_FACET_TYPE GetCurrentType() const;

    // The section id of obj's record (0 without one) and its facet type
    // (ROOF_FACET_NONE without one). Null gives 0.
    static long GetFacetIndex(G3Obj* obj);
    static ROOF_FACET_TYPE GetFacetType(G3Obj* obj);

private:
    G3WallDataProvider() = default;
};
