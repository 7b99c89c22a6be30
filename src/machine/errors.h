#pragma once

#include <stdexcept>
#include <string>

namespace zelmak {

// Every error that abandons a handler carries the text the operator sees in the error box
// (without the closing full stop, which the box adds).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value stored into a byte, or an index used on a table, lies outside its declared range.
class RangeError : public Error {
public:
    RangeError() : Error("Bereichsüberschreitung") {}
};

// A 32-bit signed addition, subtraction or multiplication overflowed.
class OverflowError : public Error {
public:
    OverflowError() : Error("Integer-Überlauf") {}
};

} // namespace zelmak
