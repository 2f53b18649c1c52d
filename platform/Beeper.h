// The alert sounds that accompany reports and questions. The window provides the desktop's
// beep; a run without a display makes no sound.
#pragma once

#include <cstdint>

namespace quarto {

class Beeper {
  public:
    virtual ~Beeper() = default;
    // `type`: MB_ICONEXCLAMATION, MB_ICONHAND (stop), MB_OK (default beep) or MB_ICONASTERISK.
    virtual void Beep(uint32_t type) = 0;
};

class SilentBeeper final : public Beeper {
  public:
    void Beep(uint32_t) override {}
};

}  // namespace quarto
