// The option scanner, step by step: what each call returns and the messages it prints.
#include "app/OptionScanner.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quarto {
namespace {

struct ScanCase {
    std::vector<std::string> words;  // after the program name
    const char* trace;               // letter, letter(argument), ~(argument) or [plain word]
    const char* messages;            // what the scanner printed
};

// Runs the scanner to its end and writes each return as a trace token.
std::pair<std::string, std::string> Scan(std::vector<std::string> words) {
    words.insert(words.begin(), "quarto");
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* errors = open_memstream(&buffer, &size);
    OptionScanner scanner(kOptionLetters, errors);
    scanner.SetPrintErrors(true);
    std::string trace;
    for (int guard = 0; guard < 64; ++guard) {
        const int result = scanner.NextOption(words);
        const std::optional<std::string> argument = scanner.OptionArgument(words);
        if (result == OptionScanner::kNoOption && !argument) break;
        if (!trace.empty()) trace += ' ';
        if (result == OptionScanner::kNoOption)
            trace += "[" + *argument + "]";
        else
            trace += static_cast<char>(result) + (argument ? "(" + *argument + ")" : std::string());
    }
    std::fclose(errors);
    std::string messages(buffer, size);
    std::free(buffer);
    return {trace, messages};
}

const ScanCase kCases[] = {
    {{"-lq"}, "l q", ""},       // two options in one word
    {{"-l", "-Q"}, "l Q", ""},  // letters keep their case; applying folds it
    {{"-e"}, "~(e)", "quarto: option requires an argument -- e\n"},          // lone -e at the end
    {{"-zq"}, "~(zq) q", "quarto: illegal option -- z\n"},                   // the command line cuts "q" off
    {{"-c", "-q"}, "~(c) q", "quarto: option requires an argument -- c\n"},  // "-q" is no argument
    {{"-c", "/tmp/x.qsn"}, "c(/tmp/x.qsn)", ""},  // "/" starts a path, so it is the argument
    {{"-c/tmp/x.qsn"}, "c(/tmp/x.qsn)", ""},      // the rest of the word is the argument
    {{"/L"}, "[/L]", ""},                         // a directory, not option L
    {{"--", "-l", "/x"}, "[-l] [/x]", ""},        // "--" ends the options
    {{"-l-q", "-a"}, "l [-a]", ""},               // a "-" inside a word ends them too
    {{"a", "b", "c"}, "[a] [b] [c]", ""},
    {{"-e", "x", "-lq"}, "e(x) l q", ""},  // after an argument word the next word starts afresh
    {{"-XL=off"}, "X(L=off)", ""},
    {{"-f", "name", "dir"}, "f(name) [dir]", ""},  // F takes its argument though nothing applies it
    {{"-e", ""}, "e()", ""},                       // an empty word is an argument
    {{"dir", "-i", "dir"}, "[dir] i(dir)", ""},
    {{"-", "x"}, "[x]", ""},                            // a lone "-" is skipped
    {{"-:"}, "~(:)", "quarto: illegal option -- :\n"},  // ':' is not an option letter
};

TEST(OptionScannerTest, ReturnsEachOptionArgumentAndPlainWordInOrder) {
    for (const ScanCase& c : kCases) {
        const auto [trace, messages] = Scan(c.words);
        EXPECT_EQ(trace, c.trace) << "words starting " << (c.words.empty() ? "" : c.words[0]);
        EXPECT_EQ(messages, c.messages) << "words starting " << c.words[0];
    }
}

TEST(OptionScannerTest, PrintsNothingUntilTurnedOn) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* errors = open_memstream(&buffer, &size);
    OptionScanner scanner(kOptionLetters, errors);
    const std::vector<std::string> words = {"quarto", "-z"};
    EXPECT_EQ(scanner.NextOption(words), OptionScanner::kBadOption);
    std::fclose(errors);
    EXPECT_EQ(size, 0u);
    std::free(buffer);
}

}  // namespace
}  // namespace quarto
