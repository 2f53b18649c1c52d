#include "ui/StatisticsSource.h"

#include "core/DirectoryPair.h"
#include "core/Settings.h"

namespace quarto {

SideStatistics PairStatistics::Figures(Side side) const {
    const SideState& state = m_pair[side];
    return {state.directoryFileCount.load(), m_pair.List(side).Totals().bytes, state.directoryByteTotal.load()};
}

uint32_t PairStatistics::UsageCounter() const {
    return static_cast<uint32_t>(m_settings.UsageCounter);
}

uint32_t PairStatistics::OperationsCounter() const {
    return static_cast<uint32_t>(m_settings.OperationsCounter);
}

std::string PairStatistics::Directory(Side side) const {
    return SideDirectory(m_settings, side);
}

}  // namespace quarto
