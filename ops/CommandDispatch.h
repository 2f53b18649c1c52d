// The action commands 7000-7034 turned into an operation code and a target list, without any
// widget: the frame only calls this and hands the result to the operation driver.
#pragma once

#include <optional>

#include "core/Settings.h"
#include "core/Side.h"

namespace quarto {

struct DispatchedOperation {
    int code = 0;
    std::optional<Side> target;  // none: both lists
};

// `target` is the current target list (the list last right-clicked, or as the last dispatch
// left it); commands that keep it ("unchanged") pass it through. Returns nothing for an id
// outside 7000-7034.
std::optional<DispatchedOperation> DispatchActionCommand(int commandId, std::optional<Side> target,
                                                         const Settings& settings);

}  // namespace quarto
