#pragma once

// Runs out of memory on purpose: while one of these is alive, the next allocation with operator
// new on this thread throws std::bad_alloc, once. Only a test program that builds
// failing_allocation.cpp (which replaces the global operator new) has it.

namespace zelmak::test {

class NextAllocationFails {
public:
    NextAllocationFails();
    ~NextAllocationFails();
    NextAllocationFails(const NextAllocationFails&) = delete;
    NextAllocationFails& operator=(const NextAllocationFails&) = delete;

    // Whether an allocation has failed since.
    bool failed() const;
};

} // namespace zelmak::test
