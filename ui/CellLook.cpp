#include "ui/CellLook.h"

#include "core/FileEntry.h"
#include "core/RowList.h"
#include "ui/CellTexts.h"

namespace quarto {
namespace {

struct ColorPair {
    ColorRef Settings::*text;
    ColorRef Settings::*background;
};

constexpr ColorPair kSelected{&Settings::ClrSelectedFilesText, &Settings::ClrSelectedFilesTextBk};
constexpr ColorPair kSideText[] = {
    {&Settings::ClrLeftFilesText, &Settings::ClrLeftFilesTextBk},
    {&Settings::ClrRightFilesText, &Settings::ClrRightFilesTextBk},
};
constexpr ColorPair kBytesDiff{&Settings::ClrBytesDiffFilesText, &Settings::ClrBytesDiffFilesTextBk};
constexpr ColorPair kAttrsDiff{&Settings::ClrAttrsDiffFilesText, &Settings::ClrAttrsDiffFilesTextBk};
constexpr ColorPair kLarger{&Settings::ClrLargerFilesText, &Settings::ClrLargerFilesTextBk};
constexpr ColorPair kSmaller{&Settings::ClrSmallerFilesText, &Settings::ClrSmallerFilesTextBk};
constexpr ColorPair kNewer{&Settings::ClrNewerFilesText, &Settings::ClrNewerFilesTextBk};
constexpr ColorPair kOlder{&Settings::ClrOlderFilesText, &Settings::ClrOlderFilesTextBk};

// The colours a cell of an unmarked row takes for itself, if any.
const ColorPair* CellColors(uint32_t flags, int column, const Settings& settings) {
    switch (column) {
        case kColumnName:
            if (flags == 0 && settings.HilightIdentical) return &kBytesDiff;
            if (flags & FlagAttrsDiff) return &kAttrsDiff;
            return nullptr;
        case kColumnSize:
            if (flags & FlagLarger) return &kLarger;
            if (flags & FlagSmaller) return &kSmaller;
            if (flags & FlagBytesDiff) return &kBytesDiff;
            return nullptr;
        case kColumnDateTime:
            if (flags & FlagNewer) return &kNewer;
            if (flags & FlagOlder) return &kOlder;
            return nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

CellLook DecideCellLook(uint32_t flags, int column, uint32_t state, Side side, const Settings& settings) {
    CellLook look;
    look.highlighted = (state & kRowMarked) != 0;
    look.contextFrame = (state & kRowContext) != 0;
    if (state & kRowDone) {
        look.hatch = Hatch::DiagonalCross;
    } else if (state & kRowInProgress) {
        look.hatch = Hatch::BackwardDiagonal;
    }
    const ColorPair* colors = look.highlighted ? &kSelected : &kSideText[Index(side)];
    if (!look.highlighted)
        if (const ColorPair* own = CellColors(flags, column, settings)) colors = own;
    look.text = settings.*(colors->text);
    look.background = settings.*(colors->background);
    return look;
}

FittedText FitText(const QString& text, int width, const std::function<int(const QString&)>& measure) {
    if (measure(text) <= width) return {text, false};
    static const QString kDots = QStringLiteral("...");
    // The longest start of the text that fits with the dots; measure grows with the length.
    qsizetype low = 0;
    qsizetype high = text.size() - 1;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (measure(text.left(middle) + kDots) <= width) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    if (low > 0 && text.at(low - 1).isHighSurrogate()) --low;  // never half a character
    return {text.left(low) + kDots, true};
}

}  // namespace quarto
