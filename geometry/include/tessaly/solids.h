#pragma once
// Simple closed solids and offset bodies of the Tessaly kernel.
//
// G3SolidsBuilder is a family of static functions; it keeps no state and
// cannot be instantiated. It makes
// - a box standing on the plane z = 0 of a frame given by a matrix (the
//   boolean slicer builds its half-space blocks from it);
// - latitude-longitude spheres and hemispheres;
// - the offset of a body: every facet's plane moved along its normal by a
//   distance, with chosen facets held in place (Shell).
//
// Every solid comes back closed and with every facet facing outwards (its
// plane normal points out of the solid). Invalid input (a null or
// non-finite argument, a size at or below the length tolerance 1e-6, too
// few segments) gives null, false or an empty surface as each function
// says; nothing is thrown except std::bad_alloc.

#include "tessaly/containers.h"
#include "tessaly/elements.h"

class G3Facet;
class G3Surface;

class TESSALY_API G3SolidsBuilder {
public:
    // The box [-s, s] x [-s, s] x [0, 2s] of the frame, transformed by m
    // (row vectors: p' = p * m; the fourth column is not used): a new
    // surface of 8 vertices and 6 quads with visible edges, owned by the
    // caller. A mirroring m is allowed; the facets still face outwards.
    // Null for a null m, a coordinate or s that is not finite, s at or
    // below 1e-6, or an m that flattens the box (no volume). p is accepted
    // for the callers that pass one; no data is attached.
    static G3Surface* BuildBox(double (*m)[4], double s, G3ExDataProvider* p);

    // A sphere of n / 2 + 1 rings of n vertices (an odd n counts as n + 1):
    // a new surface owned by the caller, whose pole rings are welded into
    // one vertex each, so it has (n / 2 - 1) n + 2 vertices and n^2 / 2
    // facets (triangles at the poles, quads between). Its edges are not
    // visible (they only draw the outline). Empty (no elements, not null)
    // for a null or non-finite centre, a radius that is not finite or at
    // or below 1e-6, an n below 4 once rounded up to even (so n = 3 gives
    // the octahedron), or an n whose vertex count overflows an int.
    static G3Surface* BuildSphere(const double* centre, double r, int n);

    // A sphere (kind 0) of nLat rows from pole to pole and nLon meridians,
    // or a hemisphere (kind 1: the upper half, the lower one when lower)
    // of nLat / 2 + 1 rows closed by a flat cap, in *out (owned by the
    // caller). The pole rows are welded into single vertices unless
    // keepDuplicates: then every row keeps nLon vertices (the body closes
    // once RemoveEqualsVertex has welded them) and smooth is not applied.
    // smooth gives every vertex of the curved part a shading normal, the
    // mean of the facets around it; the cap's rim is a visible edge where
    // the smoothing stops. False with *out null for a null out, a null or
    // non-finite centre, a radius that is not finite or at or below 1e-6,
    // nLat < 3, nLon < 3 or another kind.
    static bool BuildSphere(const double* centre, double r, int nLat, int nLon, int kind, bool smooth, G3Surface** out,
                            bool keepDuplicates, bool lower);

    // The offset of s: every facet's plane (A, B, C, D) becomes
    // (A, B, C, D - t), so with outward facets t > 0 grows the body and
    // t < 0 shrinks it; the facets listed in openFacets keep their planes.
    // Each new corner is where the moved planes of a facet and of its two
    // neighbours at that corner meet. The result, in *out (owned by the
    // caller), is welded, its twin edges joined and its self-crossing
    // facets rebuilt; a facet that turned over (its normal no longer agrees
    // with its source's) is removed, unless the source carries Mark2; the
    // source is found by id (a facet whose id names no facet of s, or
    // more than one, is kept). Each facet of the result has its source's
    // flags and carries the source's id as its surface value. s is not
    // changed; its facet planes must be current (FormPlaneEquation).
    // Entries of openFacets that are not facets of s are ignored. False
    // with *out null for a null s or out, or a t that is not finite.
    static bool Shell(G3Surface* s, G3Surface** out, double t, GArrayCollection* openFacets);

private:
    G3SolidsBuilder() = default;

    // Adds to p the offset of f: per loop of f, one vertex per corner where
    // the moved planes of f and of the facets across its two edges there
    // meet. A corner on an open edge, or where the three planes have no
    // single common point, is dropped; a loop left with fewer than 3
    // corners makes no facet. True when a facet was added.
    static bool ShellFacet(G3Facet* f, G3Surface* p, double t);
    // plane = f's plane moved by t (D - t); a marked (open) facet keeps D.
    static void CalcNewPlaneEquation(G3Facet* f, double t, double* plane);
};
