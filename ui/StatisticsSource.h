// Where the statistics dialog takes its figures: per side the total files and directory bytes
// of the last scan and the marked bytes of the list, the two usage counters, and the side's
// directory for its free space. PairStatistics reads them from the directory pair; tests and
// the frame may bring their own. UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/Side.h"

namespace quarto {

class DirectoryPair;

// Wide enough for every figure a side may keep, whatever width the engine counts in.
struct SideStatistics {
    uint64_t totalFiles = 0;      // files the last scan of the side took
    uint64_t markedBytes = 0;     // the sizes of the marked files of the side's list
    uint64_t directoryBytes = 0;  // the sizes of the files the scan took
};

class StatisticsSource {
  public:
    virtual ~StatisticsSource() = default;
    virtual SideStatistics Figures(Side side) const = 0;
    virtual uint32_t UsageCounter() const = 0;
    virtual uint32_t OperationsCounter() const = 0;
    // The side's directory (LeftDir, RightDir): its volume's free space is shown.
    virtual std::string Directory(Side side) const = 0;
};

// The scan raises a side's file count and byte total on its worker without a lock, so they are
// read only while `jobRunning` says no job runs; meanwhile the figures read last are shown. The
// marked bytes are the list's own locked totals and always current.
class PairStatistics final : public StatisticsSource {
  public:
    explicit PairStatistics(DirectoryPair& pair, std::function<bool()> jobRunning = {})
        : m_pair(pair), m_jobRunning(std::move(jobRunning)) {}

    SideStatistics Figures(Side side) const override;
    uint32_t UsageCounter() const override;
    uint32_t OperationsCounter() const override;
    std::string Directory(Side side) const override;

  private:
    struct ScanFigures {
        uint64_t files = 0;
        uint64_t bytes = 0;
    };

    DirectoryPair& m_pair;
    std::function<bool()> m_jobRunning;
    mutable std::array<ScanFigures, 2> m_lastRead{};
};

}  // namespace quarto
