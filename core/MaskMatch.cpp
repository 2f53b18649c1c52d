// The name masks of the scan filters. A mask is matched in one left-to-right pass with no
// backtracking: a star runs up to the first occurrence of the character after it and never
// reconsiders, so "*a.txt" does not match "banana.txt". Users' mask lists were written for
// exactly this rule; a "smarter" glob would change which files a saved setting selects.
#include <cctype>

#include "core/SideScan.h"

namespace quarto {
namespace {

// ASCII letters only: other bytes (UTF-8 sequences included) compare as they are.
char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

enum class Element { Literal, Star, Any, Quote };

// After the name is used up only these mask elements may remain: they match nothing and are
// passed over (a star together with its target).
bool MayFollowUsedUpName(char c) {
    return c == '*' || c == '?' || c == '"';
}

bool MatchMask(std::string_view name, std::string_view mask) {
    if (mask.empty()) return name.empty();
    size_t m = 0;
    size_t n = 0;
    for (;;) {
        Element element = Element::Literal;
        char wanted = Fold(mask[m]);  // a literal's character, or a star's target
        bool hasTarget = true;
        if (mask[m] == '"') {
            element = Element::Quote;
        } else if (mask[m] == '?') {
            element = Element::Any;
        } else if (mask[m] == '*') {
            element = Element::Star;
            ++m;
            hasTarget = m < mask.size();
            wanted = hasTarget ? Fold(mask[m]) : '\0';
        }
        // A literal needs a character to equal; only an empty name can get here without one.
        if (element == Element::Literal && n == name.size()) return false;
        if (element != Element::Quote) {
            while (n < name.size()) {
                const char c = Fold(name[n++]);
                if (element == Element::Literal) {
                    if (c != wanted) return false;
                    break;
                }
                if (element == Element::Any) break;
                if (hasTarget && c == wanted) break;  // the star's target is consumed with it
            }
        }
        if (m < mask.size()) ++m;
        if (n == name.size()) {
            if (m < mask.size() && !MayFollowUsedUpName(mask[m])) return false;
        } else if (m == mask.size()) {
            return false;
        }
        if (m == mask.size()) return true;
    }
}

}  // namespace

bool NextMask(std::string_view& cursor, std::string& mask) {
    mask.clear();
    size_t i = 0;
    while (i < cursor.size() && (IsBlank(cursor[i]) || cursor[i] == ',')) ++i;
    if (i == cursor.size()) {
        cursor = cursor.substr(i);
        return false;
    }
    // White space inside and at the end of a mask belongs to it; only a comma ends it.
    // Characters past the longest mask are dropped up to that comma.
    for (; i < cursor.size() && cursor[i] != ','; ++i)
        if (mask.size() < kMaxMaskLength) mask += cursor[i];
    if (i < cursor.size()) ++i;  // the comma
    cursor = cursor.substr(i);
    return true;
}

MaskList::MaskList(std::string_view maskList) {
    std::string_view cursor = maskList.substr(0, kMaxMaskLength);
    std::string mask;
    while (NextMask(cursor, mask)) {
        // "*.*" and "*" take every name there is (names are never empty): the default include
        // list need not be matched name by name.
        if (mask == "*.*" || mask == "*") m_matchesAll = true;
        m_masks.push_back(mask);
    }
}

bool MaskList::Matches(std::string_view testedName) const {
    if (m_matchesAll && !testedName.empty()) return true;
    for (const std::string& mask : m_masks)
        if (MatchMask(testedName, mask)) return true;
    return false;
}

bool MatchMaskList(std::string_view testedName, std::string_view maskList) {
    return MaskList(maskList).Matches(testedName);
}

}  // namespace quarto
