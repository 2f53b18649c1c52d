#include "platform/SystemColors.h"

namespace quarto {

uint32_t HeadlessSystemColors::GetSysColor(int index) const {
    switch (index) {
        case COLOR_WINDOW:
            return 0xFFFFFF;
        case COLOR_WINDOWTEXT:
            return 0x000000;
        case COLOR_HIGHLIGHT:
            return 0x800000;  // navy: blue 0x80
        case COLOR_HIGHLIGHTTEXT:
            return 0xFFFFFF;
        default:
            return 0;
    }
}

}  // namespace quarto
