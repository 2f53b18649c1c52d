#include "platform/MountTable.h"

#include <fstream>
#include <sstream>

namespace quarto {
namespace {

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

}  // namespace

std::string UnescapeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mount-point options [optional fields...] - type source ...
        std::istringstream fields(line);
        std::string id, parent, device, root, point, word;
        if (!(fields >> id >> parent >> device >> root >> point)) continue;
        while (fields >> word && word != "-") {
        }
        MountEntry entry;
        if (word != "-" || !(fields >> entry.type)) continue;
        fields >> entry.source;
        entry.device = device;
        entry.mountPoint = UnescapeMountField(point);
        entry.source = UnescapeMountField(entry.source);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<MountEntry> ReadMountTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return ParseMountInfo(text.str());
}

bool IsAtOrBelow(std::string_view path, std::string_view mountPoint) {
    if (mountPoint == "/") return !path.empty() && path[0] == '/';
    return path.substr(0, mountPoint.size()) == mountPoint &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace quarto
