#include "ui/VersionValues.h"

namespace quarto {
namespace {

struct Value {
    std::string_view key;
    const char* text;
};

constexpr Value kValues[] = {
    {"ProductName", "Quarto"},
    {"FileDescription", "Compare two folder trees and bring them into line"},
    {"LegalCopyright", "Copyright \u00a9 2026 Brightvale"},
    {"CompanyName", "Brightvale"},
    {"FileVersion", QUARTO_FILE_VERSION},
};

}  // namespace

const char* VersionValue(std::string_view key) {
    for (const Value& value : kValues)
        if (value.key == key) return value.text;
    return nullptr;
}

}  // namespace quarto
