// The stored text of a font setting: the 14 fields of a logical-font record separated by
// commas, the face name last.
#pragma once

#include <string>

#include "core/Settings.h"

namespace quarto {

// "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%s" of the record's fields.
std::string EncodeFont(const LogFont& font);

// Reads the fields in order, as sscanf with "...,%d,%[^'" would: each number may have leading
// white space and a sign; a comma must follow it at once. The face name runs to the first
// apostrophe or the end and is cut to 31 bytes. 8-bit fields keep the low 8 bits of their
// number, 32-bit fields the low 32 bits. Parsing stops at the first field that does not match;
// the fields read so far are kept and the rest stay zero (an empty text gives an empty font).
LogFont DecodeFont(const std::string& text);

}  // namespace quarto
