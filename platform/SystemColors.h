// The desktop's colour scheme, which gives the defaults of the colour settings that follow it.
// The window provides the application palette; without a display a fixed scheme holds (white
// window, black text, navy highlight, white highlighted text).
#pragma once

#include <cstdint>

namespace quarto {

// Colour indexes (the numbers only tell them apart); colours are 0x00BBGGRR.
enum SystemColorIndex : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
};

class SystemColors {
  public:
    virtual ~SystemColors() = default;
    // The colour of that index now; 0 (black) for an index without one.
    virtual uint32_t GetSysColor(int index) const = 0;
};

// White window, black text, navy highlight with white text.
class HeadlessSystemColors final : public SystemColors {
  public:
    uint32_t GetSysColor(int index) const override;
};

}  // namespace quarto
