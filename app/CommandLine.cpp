#include "app/CommandLine.h"

#include <cctype>
#include <optional>

#include "app/OptionScanner.h"
#include "core/ViewMode.h"
#include "platform/UserFolders.h"

namespace quarto {
namespace {

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool EqualsNoCase(const std::string& text, const char* word) {
    size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i)
        if (Upper(text[i]) != Upper(word[i])) return false;
    return i == text.size() && word[i] == '\0';
}

// "L=file", "R=file" or "file"; none when another letter stands before the '='.
std::optional<std::pair<Side, std::string>> SideAndFile(const std::string& argument) {
    if (argument.size() < 2 || argument[1] != '=') return std::make_pair(Side::Left, argument);
    const char letter = Upper(argument[0]);
    if (letter == 'L') return std::make_pair(Side::Left, argument.substr(2));
    if (letter == 'R') return std::make_pair(Side::Right, argument.substr(2));
    return std::nullopt;
}

// Joins a path to the current directory and resolves ".", ".." and repeated separators by name,
// as _fullpath does; nothing on disk is consulted.
std::string MakeAbsolute(const std::string& path, const std::string& currentDirectory) {
    const std::string joined = !path.empty() && path[0] == '/' ? path : currentDirectory + "/" + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string absolute;
    for (const std::string& part : parts) absolute += "/" + part;
    return absolute.empty() ? "/" : absolute;
}

void ApplySnapshotOption(const std::string& argument, RunOptions& run, Settings& settings) {
    const auto sideAndFile = SideAndFile(argument);
    if (!sideAndFile) return;  // "Q=file" and the like: ignored entirely
    const auto& [side, file] = *sideAndFile;
    run.SavedDirectory(side) = SideDirectory(settings, side);
    run.SnapshotName(side) = file;
    if (!file.empty()) run.menuLoadRefreshOff[Index(side)] = true;
}

void ApplyBatchOption(const std::string& argument, RunOptions& run) {
    const auto sideAndFile = SideAndFile(argument);
    if (!sideAndFile) return;
    run.batchSnapshot[Index(sideAndFile->first)] = true;
    run.batchSnapshotName = sideAndFile->second;
}

void ApplyExcludeUnique(const std::string& argument, Settings& settings) {
    if (argument.empty()) return;
    const bool on = !(argument.size() > 2 && EqualsNoCase(argument.substr(2), "OFF"));
    const char side = Upper(argument[0]);
    if (side == 'L') settings.ExcludeUniqueLeft = on;
    if (side == 'R') settings.ExcludeUniqueRight = on;
}

void ApplyOption(char letter, const std::string& argument, const CommandLineTargets& targets) {
    Settings& settings = targets.settings;
    RunOptions& run = targets.run;
    switch (Upper(letter)) {
        case 'L':
            settings.FilterMode = kViewAll;
            break;
        case 'A':
            settings.FilterMode = kViewSimilar;
            break;
        case 'N':
            settings.FilterMode = kViewIdentical;
            break;
        case 'U':
            settings.FilterMode = kViewUnique;
            break;
        case 'M':
            settings.FilterMode = kViewModified;
            break;
        case 'D':
            settings.FilterMode = kViewDifferent;
            break;
        case 'B':
            settings.LeftDir.clear();
            settings.RightDir.clear();
            run.directoriesNotSaved = true;
            break;
        case 'C':
            ApplyBatchOption(argument, run);
            break;
        case 'E':
            settings.ExcludeMasks = argument;
            break;
        case 'I':
            settings.IncludeMasks = argument;
            break;
        case 'G':
            run.generating = true;
            run.commandFileName = argument;
            if (targets.beginCommandFile) targets.beginCommandFile();
            break;
        case 'O':
            settings.AttributeMask |= 0x2 | 0x4;
            break;
        case 'P':
            ApplySnapshotOption(argument, run, settings);
            break;
        case 'Q':
            run.quiet = true;
            break;
        case 'R':
            settings.IncludeSubdirs = true;
            break;
        case 'W':
            settings.IncludeNetworkDrives = true;
            break;
        case 'X':
            ApplyExcludeUnique(argument, settings);
            break;
        case 'Y':
            if (targets.resetSettings) targets.resetSettings();
            break;
        default:
            break;  // '1', F, T and letters not in the option letters do nothing
    }
}

}  // namespace

void ApplyCommandLine(std::vector<std::string> words, const CommandLineTargets& targets) {
    OptionScanner scanner(kOptionLetters, targets.errors);
    scanner.SetPrintErrors(true);
    int directories = 0;
    for (;;) {
        const int result = scanner.NextOption(words);
        std::optional<std::string> argument = scanner.OptionArgument(words);
        if (result == OptionScanner::kNoOption) {
            if (!argument) break;
            std::string& target = directories++ == 0 ? targets.settings.LeftDir : targets.settings.RightDir;
            target = NormaliseDirectory(*argument, CurrentDirectory());
            continue;
        }
        char letter = static_cast<char>(result);
        if (result == OptionScanner::kBadOption) {
            ++targets.run.optionErrors;
            // The offending letter is applied with an empty argument; the rest of its word is dropped.
            const OptionScanner::Position at = *scanner.ArgumentPosition();
            letter = words[at.word][at.offset];
            words[at.word].resize(at.offset);
            argument = std::string();
        }
        ApplyOption(letter, argument.value_or(std::string()), targets);
    }
}

std::string NormaliseDirectory(const std::string& argument, const std::string& currentDirectory) {
    std::string path = argument.substr(0, argument.find('*'));
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.rfind("//", 0) != 0) path = MakeAbsolute(path, currentDirectory);
    if (path.size() > 1) path += '/';
    return path;
}

std::string CurrentDirectory() {
    std::string folder = CurrentFolder();
    if (folder.size() > 1) folder.pop_back();  // its '/'
    return folder;
}

WholeWordOptions TakeWholeWordOptions(const std::vector<std::string>& words) {
    WholeWordOptions options;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && words[i] == "--help") {
            options.help = true;
        } else if (i > 0 && words[i] == "--version") {
            options.version = true;
        } else if (i > 0 && words[i] == "--report") {
            options.report = true;
        } else {
            options.remaining.push_back(words[i]);
        }
    }
    return options;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [options] [left-directory [right-directory]]\n"
           "Compares two directory trees and brings them into line.\n"
           "\n"
           "Views:  -l All  -a Similar  -n Identical  -u Unique  -m Modified  -d Different\n"
           "  -b               blank start: no directories, and none saved at exit\n"
           "  -c [L=|R=]FILE   after the first comparison save a snapshot of the left (right)\n"
           "                   side to FILE, then exit\n"
           "  -e MASKS         exclude masks (comma-separated wildcards)\n"
           "  -i MASKS         include masks\n"
           "  -g [FILE]        generate a command file instead of acting on disk\n"
           "  -o               include hidden and system files\n"
           "  -p [L=|R=]FILE   load a snapshot as the left (right) side\n"
           "  -q               quiet: default file names, no file dialogs\n"
           "  -r               include subdirectories\n"
           "  -w               include network drives\n"
           "  -x L|R[=OFF]     exclude unique entries of the left or right side (=OFF: don't)\n"
           "  -y               reset every setting to its default\n"
           "  --               end of options: the words after it are directories\n"
           "  --report         compare without a window and print a report\n"
           "  --help, --version\n"
           "\n"
           "Option letters are case-insensitive and may share a word (-lq). Messages go to\n"
           "the .out and .err files beside the program.\n";
}

}  // namespace quarto
