// Where the statistics dialog takes its figures: per side the total files and directory bytes
// of the last scan and the marked bytes of the list, the two usage counters, and the side's
// directory for its free space. PairStatistics reads them from the directory pair and the
// settings record; tests and the frame may bring their own. UI thread only (the scan raises the
// pair's counts meanwhile; they are read whole).
#pragma once

#include <cstdint>
#include <string>

#include "core/Side.h"

namespace quarto {

class DirectoryPair;
struct Settings;

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

class PairStatistics final : public StatisticsSource {
  public:
    PairStatistics(DirectoryPair& pair, const Settings& settings) : m_pair(pair), m_settings(settings) {}

    SideStatistics Figures(Side side) const override;
    uint32_t UsageCounter() const override;
    uint32_t OperationsCounter() const override;
    std::string Directory(Side side) const override;

  private:
    DirectoryPair& m_pair;
    const Settings& m_settings;
};

}  // namespace quarto
