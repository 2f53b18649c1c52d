#include "ui/QtConversions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quarto {

QColor ToQColor(ColorRef color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

ColorRef FromQColor(const QColor& color) {
    return static_cast<ColorRef>(color.red()) | (static_cast<ColorRef>(color.green()) << 8) |
           (static_cast<ColorRef>(color.blue()) << 16);
}

QFont ToQFont(const LogFont& font, const QFont& base) {
    if (font.faceName.empty()) return base;
    QFont result(base);
    result.setFamilies({QString::fromStdString(font.faceName)});
    if (font.height != 0) result.setPixelSize(std::abs(font.height));
    // 0 means "the default weight"; the scale (100 thin .. 900 black) is the same in both.
    if (font.weight > 0) result.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    result.setItalic(font.italic != 0);
    result.setUnderline(font.underline != 0);
    result.setStrikeOut(font.strikeOut != 0);
    return result;
}

LogFont FromQFont(const QFont& font, double dotsPerInch) {
    LogFont record;
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dotsPerInch / 72.0;
    record.height = -static_cast<int32_t>(std::lround(pixels));
    record.weight = font.weight();
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    QByteArray face = font.family().toUtf8();
    // A cut never splits a character: continuation bytes (10xxxxxx) go with it.
    if (face.size() > 31) {
        int end = 31;
        while (end > 0 && (static_cast<unsigned char>(face[end]) & 0xC0) == 0x80) --end;
        face.truncate(end);
    }
    record.faceName = face.toStdString();
    return record;
}

}  // namespace quarto
