#include "checked.h"

namespace zelmak::checked {

// Kept out of line so that the inline checks stay small.
void throwRange() {
    throw RangeError();
}
void throwOverflow() {
    throw OverflowError();
}

} // namespace zelmak::checked
