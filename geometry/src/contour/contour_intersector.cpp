// The host's front of the path union: it loads a calculator and forwards
// the outline to its own callbacks through a path loader.
#include "tessaly/path_boolean.h"

namespace {
// Maps the calculator's report onto the intersector's callbacks.
class G3Unloader : public G3PathLoader {
public:
    explicit G3Unloader(G3ContourIntersector* owner) : m_Owner(owner) {}
    void BeginLoading(int, int, int) override {}
    void EndLoading() override { m_Owner->UnloadEnd(); }
    void BeginPath(int, int mode) override { m_Owner->UnloadBegin(mode); }
    void EndPath() override {}
    void BeginContour(const double* start, int, int) override { m_Owner->ContourBeginUnload(start); }
    void LineTo(const double* end, int userValue, SEGMENT_TYPE type) override
    {
        m_Owner->ContourUnloadSegment(end, type, userValue);
    }
    void CloseContour() override { m_Owner->ContourEndUnload(); }
    void AddTriangle(const double*, const double*, const double*, int, int, int) override {}

private:
    G3ContourIntersector* m_Owner;
};

// The mode the loading calls carry (the reporting calls carry 1).
constexpr int kLoading = -1;
} // namespace

G3ContourIntersector::~G3ContourIntersector()
{
    delete m_Calculator;
}

void G3ContourIntersector::LoadBegin(int xIndex, int yIndex)
{
    delete m_Calculator;
    m_Calculator = new G3PathBooleanCalculator;
    m_Calculator->BeginLoading(xIndex, yIndex, kLoading);
    m_Calculator->BeginPath(0, kLoading);
}

void G3ContourIntersector::ContourBeginLoad(const double* point)
{
    if (m_Calculator)
        m_Calculator->BeginContour(point, kLoading, 0);
}

void G3ContourIntersector::ContourLoadSegment(const double* point, SEGMENT_TYPE type, int userValue)
{
    if (m_Calculator)
        m_Calculator->LineTo(point, userValue, type);
}

void G3ContourIntersector::ContourEndLoad(SEGMENT_TYPE type, int userValue)
{
    if (m_Calculator)
        m_Calculator->CloseContour(type, userValue);
}

void G3ContourIntersector::TriangleLoad(const double* p1, const double* p2, const double* p3, int user1, int user2,
                                        int user3)
{
    if (m_Calculator)
        m_Calculator->AddTriangle(p1, p2, p3, user1, user2, user3);
}

void G3ContourIntersector::LoadEnd()
{
    if (!m_Calculator)
        return;
    m_Calculator->EndPath();
    m_Calculator->EndLoading();
}

void G3ContourIntersector::DoIntersect(BOOLEAN_OPERATION op)
{
    if (!m_Calculator)
        return;
    G3Unloader unloader(this);
    m_Calculator->DoIntersect(op, &unloader);
    delete m_Calculator;
    m_Calculator = nullptr;
}
