#include "app/OptionScanner.h"

namespace quarto {
namespace {

bool StartsOptionWord(const std::string& word) {
    return !word.empty() && word[0] == '-';
}

}  // namespace

int OptionScanner::LetterKind(char c) const {
    if (c == ':') return 0;
    const size_t at = m_letters.find(c);
    if (at == std::string::npos) return 0;
    return at + 1 < m_letters.size() && m_letters[at + 1] == ':' ? 2 : 1;
}

int OptionScanner::Return(int result) {
    m_previous = m_index;
    return result;
}

std::optional<std::string> OptionScanner::OptionArgument(const std::vector<std::string>& words) const {
    if (!m_argument || m_argument->word >= words.size()) return std::nullopt;
    const std::string& word = words[m_argument->word];
    return m_argument->offset < word.size() ? word.substr(m_argument->offset) : std::string();
}

// Takes the next character of the current option word; sets moveOn when the word is used up
// or ends the options, otherwise returns the call's result.
int OptionScanner::ScanOptionWord(const std::vector<std::string>& words, bool& moveOn) {
    const std::string& word = words[m_index];
    const char* program = words.empty() ? "" : words[0].c_str();
    moveOn = false;
    if (m_position >= word.size() || word[m_position] == '-') {
        if (m_position < word.size()) m_endOfOptions = m_index;
        moveOn = true;
        return 0;
    }
    const size_t letterAt = m_position++;
    const char letter = word[letterAt];
    const int kind = LetterKind(letter);
    if (kind == 0) {
        if (m_printErrors) std::fprintf(m_errors, "%s: illegal option -- %c\n", program, letter);
        m_argument = Position{static_cast<size_t>(m_index), letterAt};
        return Return(kBadOption);
    }
    if (kind == 1) return Return(static_cast<unsigned char>(letter));
    if (m_position < word.size()) {  // the argument is the rest of this word
        m_argument = Position{static_cast<size_t>(m_index), m_position};
        m_position = word.size();
        return Return(static_cast<unsigned char>(letter));
    }
    const int letterWord = m_index++;
    if (m_index < static_cast<int>(words.size()) && !StartsOptionWord(words[m_index])) {
        m_argument = Position{static_cast<size_t>(m_index), 0};
        return Return(static_cast<unsigned char>(letter));
    }
    if (m_printErrors) std::fprintf(m_errors, "%s: option requires an argument -- %c\n", program, letter);
    m_argument = Position{static_cast<size_t>(letterWord), letterAt};
    m_position = 1;
    return Return(kBadOption);
}

int OptionScanner::NextOption(const std::vector<std::string>& words) {
    if (m_index <= 0) {
        m_index = 1;
        m_endOfOptions = 0;
        m_previous = 0;
    }
    if (m_index != m_previous) m_position = 1;
    m_argument.reset();
    while (m_index < static_cast<int>(words.size())) {
        const bool optionsEnded = m_endOfOptions > 0 && m_endOfOptions < m_index;
        if (!optionsEnded && StartsOptionWord(words[m_index])) {
            bool moveOn = false;
            const int result = ScanOptionWord(words, moveOn);
            if (!moveOn) return result;
        } else if (m_index != m_previous) {
            m_argument = Position{static_cast<size_t>(m_index), 0};
            return Return(kNoOption);
        }
        // On to the next word, from its first character (after a word used up, a word that
        // ended the options, or a plain word that was an option's argument or already returned).
        ++m_index;
        m_position = 1;
    }
    return Return(kNoOption);
}

}  // namespace quarto
