#include "core/DirectoryPair.h"

#include "platform/Volume.h"

namespace quarto {

DirectoryPair::DirectoryPair() {
    m_placeholder.path = kPlaceholderPath;
}

void DirectoryPair::ResetList(Side side) {
    m_lists[side].ResetRows(m_placeholder);
    GetFileSystemName(Directory(side), m_sides[Index(side)].fileSystemName);
}

}  // namespace quarto
