// Settings values as Qt wants them: colours kept as 0x00BBGGRR and logical-font records.
#pragma once

#include <QColor>
#include <QFont>

#include "core/Settings.h"

namespace quarto {

QColor ToQColor(ColorRef color);
ColorRef FromQColor(const QColor& color);

// The font a logical-font record names, built on `base`: a negative height is the character
// height in pixels, a positive one the cell height (taken as the pixel size too); weight,
// italic, underline, strike-out and face name as recorded. A record without a face name
// keeps `base`.
QFont ToQFont(const LogFont& font, const QFont& base);

// The logical-font record of a font, as ToQFont reads it back: the height as a negative pixel
// height (a point size taken at `dotsPerInch`), weight, italic, underline, strike-out and the
// family as the face name (cut to 31 bytes); the fields nothing here reads stay 0.
LogFont FromQFont(const QFont& font, double dotsPerInch);

}  // namespace quarto
