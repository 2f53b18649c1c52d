// How a file list's cell looks, decided apart from the drawing: the colours and the hatch of one
// cell are a plain function of the pair's difference flags, the column, the row's state bits and
// the settings, which the delegate applies and tests call. Also the "..." cut of a text that is
// wider than its cell.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "core/Settings.h"
#include "core/Side.h"

namespace quarto {

enum class Hatch { None, BackwardDiagonal, DiagonalCross };

struct CellLook {
    ColorRef text = 0;
    ColorRef background = 0;
    Hatch hatch = Hatch::None;  // drawn over the background in the text colour
    bool highlighted = false;   // the row is marked
    bool contextFrame = false;  // the row a context menu is open for: a hatched frame around it

    friend bool operator==(const CellLook&, const CellLook&) = default;
};

// A marked row takes the selected-files colours; any other row the side's text colours, and
// then each cell may take colours of its own by the pair's differences: the name cell for
// identical pairs (with HilightIdentical) and attribute differences, the size cell for larger,
// smaller or different contents, the date cell for newer or older. A done row is cross-hatched;
// a row in progress (and not done) is hatched backwards.
CellLook DecideCellLook(uint32_t flags, int column, uint32_t state, Side side, const Settings& settings);

// A text fitted to a cell: whole when it fits, otherwise cut at its end until the rest
// followed by "..." fits (such a text is always drawn left-aligned).
struct FittedText {
    QString text;
    bool cut = false;
};
FittedText FitText(const QString& text, int width, const std::function<int(const QString&)>& measure);

}  // namespace quarto
