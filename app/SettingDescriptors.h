// The table of stored settings: each value's name, the record field that holds it, its default
// and its limits, in load order. Loading, writing, the reset and the tests all walk this table,
// so a value is described once.
#pragma once

#include <climits>
#include <span>
#include <string_view>
#include <variant>

#include "core/Settings.h"

namespace quarto {

// The record field of a value; its type gives the value's kind (int, bool, text, colour, font).
using SettingMember = std::variant<int Settings::*, bool Settings::*, std::string Settings::*,
                                   ColorRef Settings::*, LogFont Settings::*>;

struct SettingDescriptor {
    const char* name;  // the stored name, exactly
    SettingMember member;
    int defaultNumber = 0;         // int, bool, and colours without a system default
    const char* defaultText = "";  // text (a font's default is the empty text)
    int systemColor = -1;          // a colour whose default is this desktop colour, read at each load
    // Ints: the set of values that mean something (every enumeration here is a run of numbers).
    // A stored or written value outside it takes the default instead: a corrupt view or sort
    // mode would otherwise empty every view and make trees that differ report as identical.
    int minimum = INT_MIN;
    int maximum = INT_MAX;

    int Valid(int value) const { return value >= minimum && value <= maximum ? value : defaultNumber; }
};

// Every stored value of the settings record, in load order.
std::span<const SettingDescriptor> SettingDescriptors();
// The descriptor of a stored name; null when no value has that name.
const SettingDescriptor* FindSetting(std::string_view name);

// Window layout values: not in the record; the windows read them with these defaults
// ("missing means") and the main frame writes them at exit. A stored value outside its limits
// reads as missing.
struct LayoutValue {
    const char* name;
    int missing;
    int minimum;
    int maximum;
};
std::span<const LayoutValue> LayoutValues();

}  // namespace quarto
