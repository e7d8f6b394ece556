// The boolean calculator: entry points, operands and the run of one
// boolean from the prepared operands to the result.
#include <climits>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/thread_random.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

G3BCPointWriter::~G3BCPointWriter() = default;

G3BooleanCalculator::G3BooleanCalculator()
    : m_Candidates(new GArrayCollection), m_FirstFacets(new GArrayCollection), m_SecondFacets(new GArrayCollection)
{
}

G3BooleanCalculator::~G3BooleanCalculator()
{
    delete m_Grid;
    delete m_Candidates;
    delete m_FirstFacets;
    delete m_SecondFacets;
}

void G3BooleanCalculator::OpenBoolean(G3Surface* s)
{
    if (!s || G3SurfaceBooleanProvider::Of(s))
        return;
    s->SetExDataProvider(new G3SurfaceBooleanProvider(s->GetExDataProvider()));
    s->OpenExData();
}

void G3BooleanCalculator::CloseBoolean(G3Surface* s)
{
    G3SurfaceBooleanProvider* p = G3SurfaceBooleanProvider::Of(s);
    if (!p)
        return;
    s->SetExDataProvider(p->GetPrevious());
    delete p;
}

namespace {
bool IsEmpty(G3Surface* s)
{
    return !s || s->GetFacetCount() == 0;
}

// A body the caller gave twice stands for itself and a copy of itself.
G3Surface* Distinct(G3Surface* a, G3Surface* b)
{
    return a == b && b ? static_cast<G3Surface*>(b->Duplicate()) : b;
}
} // namespace

G3Surface* G3BooleanCalculator::Add(G3Surface* a, G3Surface* b)
{
    b = Distinct(a, b);
    if (IsEmpty(a) || IsEmpty(b)) {
        G3Surface* keep = IsEmpty(a) ? b : a;
        delete (keep == a ? b : a);
        return keep;
    }
    m_First = a;
    m_Second = b;
    ChangeSurface();
    return BinaryOperation(SC_IN | SC_ON_OPPOSITE, SC_IN | SC_ON_SAME | SC_ON_OPPOSITE, false, 0);
}

G3Surface* G3BooleanCalculator::Sub(G3Surface* a, G3Surface* b)
{
    return Difference(a, b, false, 0);
}

G3Surface* G3BooleanCalculator::Sub(G3Surface* a, G3Surface* b, GEVENT event)
{
    return Difference(a, b, true, event);
}

G3Surface* G3BooleanCalculator::Difference(G3Surface* a, G3Surface* b, bool eventForm, GEVENT event)
{
    b = Distinct(a, b);
    if (IsEmpty(a) || IsEmpty(b)) {
        delete b;
        return a;
    }
    m_First = a;
    m_Second = b;
    b->NegNormals();
    return BinaryOperation(SC_IN | SC_ON_SAME, SC_OUT | SC_ON_SAME | SC_ON_OPPOSITE, eventForm, event);
}

G3Surface* G3BooleanCalculator::Common(G3Surface* a, G3Surface* b)
{
    b = Distinct(a, b);
    if (IsEmpty(a) || IsEmpty(b)) {
        delete a;
        delete b;
        return nullptr;
    }
    m_First = a;
    m_Second = b;
    ChangeSurface();
    return BinaryOperation(SC_OUT | SC_ON_OPPOSITE, SC_OUT | SC_ON_SAME | SC_ON_OPPOSITE, false, 0);
}

// The operand with more facets becomes the first (the one changed into the
// result), so that fewer facets are copied at the end.
void G3BooleanCalculator::ChangeSurface()
{
    if (m_First->GetFacetCount() < m_Second->GetFacetCount())
        std::swap(m_First, m_Second);
}

G3Surface* G3BooleanCalculator::BinaryOperation(int maskA, int maskB, bool eventForm, GEVENT event)
{
    thread_random::Seed(boolean_detail::kRandomSeed);
    OpenBoolean();
    if (m_ClipCode != INT_MIN) {
        Divide();
        if (m_IntersectionList && !eventForm)
            boolean_detail::ExportPieces(m_Second, m_IntersectionList);
        MergeSurfaceAndIntersectionTree(m_First, m_FirstBox, eventForm, event);
        MergeSurfaceAndIntersectionTree(m_Second, m_SecondBox, eventForm, event);
    }
    boolean_detail::ListFacets(m_First, m_FirstFacets);
    boolean_detail::ListFacets(m_Second, m_SecondFacets);
    ClassifyVertices(m_First, m_SecondFacets);
    ClassifyVertices(m_Second, m_FirstFacets);
    ClassifyFacets(m_First, m_SecondFacets);
    ClassifyFacets(m_Second, m_FirstFacets);
    RemoveFacetsByClassify(m_First, maskA);
    RemoveFacetsByClassify(m_Second, maskB);
    m_FirstFacets->clear();
    m_SecondFacets->clear();
    CloseBoolean();
    return AssembleResult(eventForm);
}

bool G3BooleanCalculator::SurfaceSurfaceIntersect(G3Surface* a, G3Surface* b, G3IntervalList* list)
{
    if (!a || !b || a == b)
        return false;
    thread_random::Seed(boolean_detail::kRandomSeed);
    m_First = a;
    m_Second = b;
    OpenBoolean();
    if (m_ClipCode != INT_MIN) {
        Divide();
        if (list)
            boolean_detail::ExportPieces(b, list);
    }
    for (G3Surface* s : {a, b}) {
        while (s->GetFacetCount() > 0)
            s->RemoveFacet(s->GetFacet(s->GetFacetCount() - 1));
    }
    CloseBoolean();
    m_First = m_Second = nullptr;
    return true;
}
