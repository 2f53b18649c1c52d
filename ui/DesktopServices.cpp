#include "ui/DesktopServices.h"

#include <QApplication>
#include <QPalette>

#include "ui/QtConversions.h"

namespace quarto {

void DesktopBeeper::Beep(uint32_t) {
    QApplication::beep();
}

uint32_t PaletteSystemColors::GetSysColor(int index) const {
    const QPalette palette = QApplication::palette();
    switch (index) {
        case COLOR_WINDOW:
            return FromQColor(palette.color(QPalette::Active, QPalette::Base));
        case COLOR_WINDOWTEXT:
            return FromQColor(palette.color(QPalette::Active, QPalette::Text));
        case COLOR_HIGHLIGHT:
            return FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
        case COLOR_HIGHLIGHTTEXT:
            return FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
        default:
            return 0;
    }
}

}  // namespace quarto
