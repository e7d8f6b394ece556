#include "tessaly/elements.h"

#include <cstring>

TESSALY_DEFINE_POOLED_CLASS(G3PolyEdge, "G3PolyEdge", 8192)

G3PolyEdge::G3PolyEdge(int vertexCount, int firstIndex) : m_VertexCount(vertexCount), m_FirstIndex(firstIndex) {}

void G3PolyEdge::Copy(GObj* source)
{
    G3Obj::Copy(source);
    if (auto* other = dynamic_cast<G3PolyEdge*>(source)) {
        m_VertexCount = other->m_VertexCount;
        m_FirstIndex = other->m_FirstIndex;
    }
}

GObj* G3PolyEdge::Duplicate()
{
    auto* copy = new G3PolyEdge;
    copy->Copy(this);
    return copy;
}

int G3PolyEdge::GetObjectType()
{
    return 1;
}

void G3PolyEdge::SetClosed(bool closed)
{
    if (closed)
        SetFlag(1);
    else
        ClearFlags(1);
}

void G3PolyEdge::GetEdge(G3Vertex** array, int i, G3Vertex** a, G3Vertex** b) const
{
    if (m_VertexCount <= 0 || !array) {
        *a = *b = nullptr;
        return;
    }
    *a = array[m_FirstIndex + i];
    *b = array[m_FirstIndex + (i + 1) % m_VertexCount];
}

namespace {
using Record = G3AcisEdgeDataProvider::Record;

Record* RecordOf(G3Obj* obj)
{
    return static_cast<Record*>(obj->GetOutExData(G3AcisEdgeDataProvider::Instance()));
}
} // namespace

void G3PolyEdge::GetExtEdgeData(G3Point* p1, G3Point* p2, G3Point* p3, G3Point* p4, double m[4][4])
{
    Record* record = RecordOf(this);
    if (!record)
        return;
    G3Point* points[4] = {p1, p2, p3, p4};
    for (int i = 0; i < 4; ++i)
        if (points[i])
            points[i]->Set(record->points[i]);
    if (m)
        std::memcpy(m, record->matrix, sizeof(record->matrix));
}

void G3PolyEdge::SetExtEdgeData(G3Surface*, const G3Point& p1, const G3Point& p2, const G3Point& p3, const G3Point& p4,
                                double m[4][4])
{
    Record* record = RecordOf(this);
    if (!record) {
        record = new Record{};
        SetOutExData(G3AcisEdgeDataProvider::Instance(), record);
    }
    const G3Point* points[4] = {&p1, &p2, &p3, &p4};
    for (int i = 0; i < 4; ++i)
        std::memcpy(record->points[i], points[i]->GetXYZ(), sizeof(record->points[i]));
    if (m)
        std::memcpy(record->matrix, m, sizeof(record->matrix));
}

void* G3PolyEdge::GetGraphic()
{
    Record* record = RecordOf(this);
    return record ? record->graphic : nullptr;
}

bool G3PolyEdge::SetGraphic(void* graphic)
{
    Record* record = RecordOf(this);
    if (!record)
        return false;
    record->graphic = graphic;
    return true;
}

G3AcisEdgeDataProvider* G3AcisEdgeDataProvider::Instance()
{
    // Registered once, at library load; it lives as long as the library.
    static G3AcisEdgeDataProvider* provider = [] {
        static G3AcisEdgeDataProvider instance;
        G3Obj::AddProvider(&instance);
        return &instance;
    }();
    return provider;
}

void G3AcisEdgeDataProvider::FreeExData(void* data)
{
    delete static_cast<Record*>(data);
}

void G3AcisEdgeDataProvider::TransformExData(G3Obj* obj, double m[4][4])
{
    if (!obj || obj->GetObjectType() != 1)
        return;
    Record* record = RecordOf(obj);
    if (!record)
        return;
    for (double* p : record->points) {
        double in[4] = {p[0], p[1], p[2], 1.0};
        double out[4];
        V4MulPointByMatrix(in, m, out);
        std::memcpy(p, out, 3 * sizeof(double));
    }
    double product[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            product[i][j] = 0;
            for (int k = 0; k < 4; ++k)
                product[i][j] += record->matrix[i][k] * m[k][j];
        }
    std::memcpy(record->matrix, product, sizeof(product));
}

void G3AcisEdgeDataProvider::CopyExData(G3Obj* target, G3Obj* source)
{
    if (!target || !source || target->GetObjectType() != 2 || source->GetObjectType() != 2)
        return;
    Record* from = RecordOf(source);
    if (!from)
        return;
    Record* to = RecordOf(target);
    if (!to) {
        to = new Record{};
        target->SetOutExData(this, to);
    }
    *to = *from;
}
