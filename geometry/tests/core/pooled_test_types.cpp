#include "pooled_test_types.h"

TESSALY_DEFINE_POOLED_CLASS(PooledProbe, "PooledProbe", 1024)
