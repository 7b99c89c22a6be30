#include "crib_walk.inc"

namespace zelmak::analysis::walk {

std::uint32_t walkPlain(const Task& task, Survivor* survivors) {
    return walkAll(task, survivors);
}

} // namespace zelmak::analysis::walk
