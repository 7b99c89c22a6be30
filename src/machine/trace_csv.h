#pragma once

// A key trace as comma-separated values (RFC 4180: a header line, CR LF after every line; no
// field needs quotes), one line per key, for spreadsheets and for the machine view's copy.

#include "trace.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zelmak {

// key: the key's number in the run, from 1; input: the symbol keyed; key_index; before: the
// positions of slots 1..5 as symbols; card: the index after the card; slot1..slot5: after each
// disc forward; reflector; back5..back1: after each disc backward, in the order passed;
// inverse_card: the output index; output: the output symbol; stepped: the slots that moved
// ("12", "1235").
inline constexpr std::string_view kTraceCsvHeader =
    "key,input,key_index,before,card,slot1,slot2,slot3,slot4,slot5,reflector,"
    "back5,back4,back3,back2,back1,inverse_card,output,stepped\r\n";

// Appends the line of one key.
void appendTraceCsv(std::string& out, std::uint64_t key, char input, const KeyTrace& t);

} // namespace zelmak
