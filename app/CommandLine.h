// Applies the command line to the settings record and the run's options: views, masks,
// directories, snapshots, command file, reset. Options override the loaded settings for this
// run only and are never written back (except by -Y, which resets the stored profile).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/RunOptions.h"
#include "core/Settings.h"

namespace quarto {

struct CommandLineTargets {
    Settings& settings;
    RunOptions& run;
    std::function<void()> resetSettings;     // -Y: reset the profile and reload, at that point
    std::function<void()> beginCommandFile;  // -G: after generating and the name are set
    std::FILE* errors = stderr;              // the scanner's messages
};

// Scans words (words[0] is the program) and applies each option in order; plain words are
// directories: the first becomes LeftDir, every later one RightDir.
void ApplyCommandLine(std::vector<std::string> words, const CommandLineTargets& targets);

// A directory argument as a directory text: cut at the first '*', one trailing '/' dropped
// when longer than 1 character, made absolute against currentDirectory (with "." and ".."
// resolved by name) unless it starts with "//", then '/' appended when longer than 1. "/"
// stays "/". An argument that is empty after the cut names the current directory.
std::string NormaliseDirectory(const std::string& argument, const std::string& currentDirectory);

// The process's current directory ("/" when it cannot be read, e.g. after it was removed).
std::string CurrentDirectory();

// The whole-word options that are taken out before the option scanner runs.
struct WholeWordOptions {
    bool help = false;                   // --help
    bool version = false;                // --version
    bool report = false;                 // --report
    std::vector<std::string> remaining;  // the other words, program first
};
WholeWordOptions TakeWholeWordOptions(const std::vector<std::string>& words);

// The --help text.
std::string UsageText(const std::string& programName);

}  // namespace quarto
