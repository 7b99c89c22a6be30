#include "machine_state.h"

#include <algorithm>

namespace zelmak {

KeyRecordBytes KeyRecord::bytes() const {
    KeyRecordBytes out{};
    std::copy(cardSetting.raw().begin(), cardSetting.raw().end(), out.begin());
    std::copy(discSetting.raw().begin(), discSetting.raw().end(), out.begin() + kCardBytes);
    return out;
}

void KeyRecord::setBytes(const KeyRecordBytes& bytes) {
    std::copy(bytes.begin(), bytes.begin() + kCardBytes, cardSetting.raw().begin());
    std::copy(bytes.begin() + kCardBytes, bytes.end(), discSetting.raw().begin());
}

} // namespace zelmak
