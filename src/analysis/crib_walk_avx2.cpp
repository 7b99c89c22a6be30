#if defined(__x86_64__)
#include "crib_walk.inc"

namespace zelmak::analysis::walk {

std::uint32_t walkAvx2(const Task& task, Survivor* survivors) {
    return walkAll(task, survivors);
}

} // namespace zelmak::analysis::walk
#endif
