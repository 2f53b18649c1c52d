// The desktop's beep and colour scheme, for the settings' defaults and the reports' sounds.
#pragma once

#include "platform/Beeper.h"
#include "platform/SystemColors.h"

namespace quarto {

class DesktopBeeper final : public Beeper {
  public:
    void Beep(uint32_t type) override;
};

// The application palette's window, text and highlight colours.
class PaletteSystemColors final : public SystemColors {
  public:
    uint32_t GetSysColor(int index) const override;
};

}  // namespace quarto
