#include "ui/StatisticsSource.h"

#include "core/DirectoryPair.h"

namespace quarto {

SideStatistics PairStatistics::Figures(Side side) const {
    ScanFigures& scan = m_lastRead[Index(side)];
    if (!m_jobRunning || !m_jobRunning()) {
        const SideState& state = m_pair[side];
        scan = {state.directoryFileCount, state.directoryByteTotal};
    }
    return {scan.files, m_pair.List(side).Totals().bytes, scan.bytes};
}

uint32_t PairStatistics::UsageCounter() const {
    return static_cast<uint32_t>(m_pair.GetSettings().UsageCounter);
}

uint32_t PairStatistics::OperationsCounter() const {
    return static_cast<uint32_t>(m_pair.GetSettings().OperationsCounter);
}

std::string PairStatistics::Directory(Side side) const {
    return m_pair.Directory(side);
}

}  // namespace quarto
