#include "core/DirectoryPair.h"

#include "platform/Volume.h"

namespace quarto {

DirectoryPair::DirectoryPair(Settings& settings) : m_settings(settings) {
    m_placeholder.path = kPlaceholderPath;
}

std::string& DirectoryPair::Directory(Side side) {
    return side == Side::Left ? m_settings.LeftDir : m_settings.RightDir;
}

const std::string& DirectoryPair::Directory(Side side) const {
    return side == Side::Left ? m_settings.LeftDir : m_settings.RightDir;
}

void DirectoryPair::ResetList(Side side) {
    m_lists[side].ResetRows(m_placeholder);
    GetFileSystemName(Directory(side), m_sides[Index(side)].fileSystemName);
}

}  // namespace quarto
