#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool t_armed = false;
thread_local bool t_failed = false;

void* allocate(std::size_t size) {
    if (t_armed) {
        t_armed = false;
        t_failed = true;
        throw std::bad_alloc();
    }
    for (;;) {
        if (void* p = std::malloc(size ? size : 1))
            return p;
        const std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

} // namespace

// The plain forms of new and delete; the others of the library come to these, and a sanitizer's
// own pair each other.
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace zelmak::test {

NextAllocationFails::NextAllocationFails() {
    t_failed = false;
    t_armed = true;
}

NextAllocationFails::~NextAllocationFails() {
    t_armed = false;
}

bool NextAllocationFails::failed() const {
    return t_failed;
}

} // namespace zelmak::test
