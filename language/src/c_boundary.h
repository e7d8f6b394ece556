// The library's C functions must not let an exception out into a host that
// may not even be written in C++: each runs its body through `guarded`,
// which turns any exception into the function's failure value.
#ifndef TOLKARA_C_BOUNDARY_H
#define TOLKARA_C_BOUNDARY_H

namespace tolkara {

template <class Result, class Body> Result guarded(Result failure, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

}  // namespace tolkara

#endif
