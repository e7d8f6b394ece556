// The path and line loader interfaces have nothing of their own but their
// destructors.
#include "tessaly/paths.h"

GPathLoader::~GPathLoader() = default;
GLineLoader::~GLineLoader() = default;
