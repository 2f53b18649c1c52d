#include "app/SnapshotPathField.h"

namespace quarto {
namespace {

bool NeedsEscaping(std::string_view path) {
    return (!path.empty() && path.front() == '?') || path.find_first_of("\"\r\n") != std::string_view::npos;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EncodeSnapshotPath(std::string_view path) {
    if (!NeedsEscaping(path)) return std::string(path);
    std::string field = "?";
    field.reserve(path.size() + 8);
    for (const char c : path) {
        switch (c) {
            case '%':
                field += "%25";
                break;
            case '"':
                field += "%22";
                break;
            case '\r':
                field += "%0D";
                break;
            case '\n':
                field += "%0A";
                break;
            default:
                field += c;
                break;
        }
    }
    return field;
}

bool DecodeSnapshotPath(std::string_view field, std::string& path) {
    path.clear();
    if (field.empty() || field.front() != '?') {
        path.assign(field);
    } else {
        path.reserve(field.size());
        for (size_t i = 1; i < field.size(); ++i) {
            if (field[i] != '%') {
                path += field[i];
                continue;
            }
            if (i + 2 >= field.size()) return false;  // an escape cut short
            const int high = HexValue(field[i + 1]);
            const int low = HexValue(field[i + 2]);
            if (high < 0 || low < 0) return false;
            path += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return path.find('\0') == std::string::npos;
}

}  // namespace quarto
