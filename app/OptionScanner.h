// The command-line option scanner: getopt-like, but an option missing its argument is still
// returned (as '~'), and plain words come back one by one as -1 with the word as argument.
// Only "-" starts an option word ("/" begins absolute paths); a "-" inside an option word,
// as in "--", ends the options.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quarto {

// The program's option letters; a letter followed by ':' takes an argument.
inline constexpr const char* kOptionLetters = "1AaBbC:c:DdE:e:F:f:G:g:I:i:LlMmNnOoP:p:QqRrT:t:UuWwX:x:Yy";

class OptionScanner {
  public:
    // Returned for a character that is not an option letter and for an option without its
    // argument; OptionArgument() then points at the offending character inside its word.
    static constexpr int kBadOption = '~';
    // Returned for a plain word (argument set) and at the end (no argument).
    static constexpr int kNoOption = -1;

    explicit OptionScanner(std::string optionLetters = kOptionLetters, std::FILE* errors = stderr)
        : m_letters(std::move(optionLetters)), m_errors(errors) {}

    void SetPrintErrors(bool on) { m_printErrors = on; }

    // One step over the words (words[0] is the program). The words may be changed between
    // calls (the command line cuts a word after a bad option).
    int NextOption(const std::vector<std::string>& words);

    // Where the option argument starts: word index and character position. None when the
    // last call set no argument.
    struct Position {
        size_t word = 0;
        size_t offset = 0;
    };
    const std::optional<Position>& ArgumentPosition() const { return m_argument; }
    // The argument text (from its position to the end of its word), or none.
    std::optional<std::string> OptionArgument(const std::vector<std::string>& words) const;

  private:
    // The argument kind of an option letter: 0 not a letter, 1 plain, 2 takes an argument.
    int LetterKind(char c) const;
    int Return(int result);
    int ScanOptionWord(const std::vector<std::string>& words, bool& moveOn);

    std::string m_letters;
    std::FILE* m_errors;
    bool m_printErrors = false;
    int m_index = 0;         // the word being scanned
    size_t m_position = 1;   // the character position in that word
    int m_previous = 0;      // the word index of the previous return
    int m_endOfOptions = 0;  // the index of the word that ended the options; 0: none yet
    std::optional<Position> m_argument;
};

}  // namespace quarto
