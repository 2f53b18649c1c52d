// What the command line and a few commands set for one run only; never stored. The exclusions
// and include flags of a run live in the settings record, since the engine reads them there.
#pragma once

#include <array>
#include <string>

#include "core/Side.h"

namespace quarto {

struct RunOptions {
    bool directoriesNotSaved = false;  // -B: LeftDir/RightDir are not written at exit

    // Per side (index by Index(Side)).
    std::array<std::string, 2> snapshotNames;     // -P or Load Snapshot; non-empty: the side is a snapshot
    std::array<std::string, 2> savedDirectories;  // the side's directory before its snapshot
    std::array<bool, 2> menuLoadRefreshOff{};     // -P with a file name: Load Snapshot does not refresh
    std::array<bool, 2> batchSnapshot{};          // -C: save this side after the first refresh, then close

    std::string batchSnapshotName;  // -C's file; empty: "Snapshot.qsn" under -Q, else asked for
    bool quiet = false;             // -Q: default file names, no box for an unreadable snapshot

    // The command file being generated (-G, or the Generate command). Set on the main thread
    // while no job runs; action workers started afterwards read them.
    std::string commandFileName;
    bool generating = false;

    bool report = false;  // --report: a headless report run
    // Options the scanner reported: not in the option letters, or lacking their argument.
    int optionErrors = 0;

    std::string& SnapshotName(Side side) { return snapshotNames[Index(side)]; }
    std::string& SavedDirectory(Side side) { return savedDirectories[Index(side)]; }

    friend bool operator==(const RunOptions&, const RunOptions&) = default;
};

}  // namespace quarto
