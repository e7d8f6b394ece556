#pragma once
// Smooth shading normals over a part of a surface: as
// G3Surface::AverageNormalsByPlanes, with only the facets `included`
// accepts taking part. The others keep their normals and count neither as
// seeds nor as members of a group, so a group never reaches across them.
#include <functional>

class G3Facet;
class G3Surface;

void G3AverageNormalsByPlanesOf(G3Surface* surface, const std::function<bool(G3Facet*)>& included);
