// The merges of sorted runs of oriented pieces on one axis: union, union of
// one run with itself, intersection and clipping. Every merge walks its
// inputs once and emits new pieces whose ends, with their owners, are ends
// of the inputs; the inputs are not changed.

#include "core/tolerances.h"
#include "interval_order.h"

using tessaly::kLengthTolerance;

namespace {
G3Interval* At(GArrayCollection* c, int i)
{
    return static_cast<G3Interval*>(c->get(i));
}

// The current pieces a of run p and b of run q, with their ends on axis k.
struct Fronts {
    Fronts(GArrayCollection* p, int i, GArrayCollection* q, int j, int k)
        : a(At(p, i)), b(At(q, j)), p1(a->GetXYZ1(k)), p2(a->GetXYZ2(k)), q1(b->GetXYZ1(k)), q2(b->GetXYZ2(k))
    {
    }
    G3Interval* a;
    G3Interval* b;
    double p1, p2, q1, q2;
};

// [a, b] into out when it is longer than the length tolerance on the axis.
void EmitPiece(GArrayCollection* out, int axis, const double* a, GObj* ownerA, const double* b, GObj* ownerB)
{
    if (b[axis] - a[axis] > kLengthTolerance)
        out->add(new G3Interval(a, ownerA, b, ownerB));
}

void EmitWhole(GArrayCollection* out, int k, G3Interval* piece)
{
    EmitPiece(out, k, piece->GetXYZ1(), piece->GetOwner1(), piece->GetXYZ2(), piece->GetOwner2());
}

// The pieces of run p from index i on, whole.
void EmitRest(GArrayCollection* out, int k, GArrayCollection* p, int i)
{
    for (; i < p->size(); ++i)
        EmitWhole(out, k, At(p, i));
}
} // namespace

void G3IntervalList::Emit(GArrayCollection* out, int axis, const double* a, GObj* ownerA, const double* b, GObj* ownerB)
{
    EmitPiece(out, axis, a, ownerA, b, ownerB);
}

// Indices i into p and j into q. Each step either emits the part of one
// piece that lies before the other and retires it, drops a piece that the
// other covers, or emits a piece that lies wholly before the other. Every
// emitted piece ends at or before the current starts of both runs, so the
// result is sorted and its pieces only touch.
void G3IntervalList::Union(GArrayCollection* p, GArrayCollection* q, int k, GArrayCollection* out)
{
    const int np = p->size(), nq = q->size();
    int i = 0, j = 0;
    while (i < np && j < nq) {
        const Fronts f(p, i, q, j, k);
        G3Interval *a = f.a, *b = f.b;
        const double p1 = f.p1, p2 = f.p2, q1 = f.q1, q2 = f.q2;
        if (q1 < p1) {
            if (p1 <= q2) {
                if (q2 <= p2) {
                    Emit(out, k, b->GetXYZ1(), b->GetOwner1(), a->GetXYZ1(), a->GetOwner1());
                    ++j;
                } else {
                    ++i; // b covers a
                }
            } else {
                EmitWhole(out, k, b);
                ++j;
            }
        } else if (q1 <= p2) {
            if (p2 <= q2) {
                Emit(out, k, a->GetXYZ1(), a->GetOwner1(), b->GetXYZ1(), b->GetOwner1());
                ++i;
            } else {
                ++j; // a covers b
            }
        } else {
            EmitWhole(out, k, a);
            ++i;
        }
    }
    EmitRest(out, k, p, i);
    EmitRest(out, k, q, j);
}

// The same rule as Union with the current piece in the role of the first
// run: pieces come sorted by start, so the next one never starts before the
// current one.
void G3IntervalList::SelfUnion(GArrayCollection* p, int k, GArrayCollection* out)
{
    const int n = p->size();
    if (n == 0)
        return;
    G3Interval* current = At(p, 0);
    for (int i = 1; i < n; ++i) {
        G3Interval* next = At(p, i);
        if (next->GetXYZ1(k) >= current->GetXYZ2(k)) {
            EmitWhole(out, k, current);
            current = next;
        } else if (next->GetXYZ2(k) > current->GetXYZ2(k)) {
            Emit(out, k, current->GetXYZ1(), current->GetOwner1(), next->GetXYZ1(), next->GetOwner1());
            current = next;
        }
        // Otherwise current covers next.
    }
    EmitWhole(out, k, current);
}

void G3IntervalList::Intersect(GArrayCollection* p, GArrayCollection* q, int k, GArrayCollection* out)
{
    const int np = p->size(), nq = q->size();
    int i = 0, j = 0;
    while (i < np && j < nq) {
        const Fronts f(p, i, q, j, k);
        G3Interval *a = f.a, *b = f.b;
        const double p1 = f.p1, p2 = f.p2, q1 = f.q1, q2 = f.q2;
        if (q2 <= p1) {
            ++j;
        } else if (q1 >= p2) {
            ++i;
        } else {
            G3Interval* from = q1 <= p1 ? a : b;
            if (p2 <= q2) {
                Emit(out, k, from->GetXYZ1(), from->GetOwner1(), a->GetXYZ2(), a->GetOwner2());
                ++i;
            } else {
                Emit(out, k, from->GetXYZ1(), from->GetOwner1(), b->GetXYZ2(), b->GetOwner2());
                ++j;
            }
        }
    }
}

void G3IntervalList::Clip(GArrayCollection* p, const double* lo, GObj* loOwner, const double* hi, GObj* hiOwner, int k,
                          GArrayCollection* out)
{
    const int n = p->size();
    for (int i = 0; i < n; ++i) {
        G3Interval* a = At(p, i);
        if (hi[k] <= a->GetXYZ1(k))
            break;
        if (lo[k] >= a->GetXYZ2(k))
            continue;
        const bool fromPiece = a->GetXYZ1(k) >= lo[k];
        const double* start = fromPiece ? a->GetXYZ1() : lo;
        GObj* startOwner = fromPiece ? a->GetOwner1() : loOwner;
        if (hi[k] < a->GetXYZ2(k)) {
            Emit(out, k, start, startOwner, hi, hiOwner);
            break;
        }
        Emit(out, k, start, startOwner, a->GetXYZ2(), a->GetOwner2());
    }
}
