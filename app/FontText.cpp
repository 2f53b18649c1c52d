#include "app/FontText.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace quarto {
namespace {

constexpr size_t kFaceNameMax = 31;

class FieldReader {
  public:
    explicit FieldReader(const std::string& text) : m_text(text) {}

    // A decimal number as %d/%ld reads it, keeping its low 32 bits (overflow wraps).
    std::optional<uint32_t> Number() {
        size_t i = m_pos;
        while (i < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[i]))) ++i;
        bool negative = false;
        if (i < m_text.size() && (m_text[i] == '+' || m_text[i] == '-')) negative = m_text[i++] == '-';
        const size_t digits = i;
        uint32_t value = 0;
        for (; i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9'; ++i)
            value = value * 10u + static_cast<uint32_t>(m_text[i] - '0');
        if (i == digits) return std::nullopt;
        m_pos = i;
        return negative ? 0u - value : value;
    }

    bool Comma() {
        if (m_pos >= m_text.size() || m_text[m_pos] != ',') return false;
        ++m_pos;
        return true;
    }

    // %[^'] : at least one character up to an apostrophe or the end.
    std::optional<std::string> FaceName() {
        const size_t end = m_text.find('\'', m_pos);
        const std::string face =
            m_text.substr(m_pos, end == std::string::npos ? std::string::npos : end - m_pos);
        if (face.empty()) return std::nullopt;
        return face;
    }

  private:
    const std::string& m_text;
    size_t m_pos = 0;
};

// Cuts to at most `limit` bytes without leaving half of a UTF-8 sequence at the end.
std::string CutFaceName(std::string face, size_t limit) {
    if (face.size() <= limit) return face;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(face[cut]) & 0xC0) == 0x80) --cut;
    face.resize(cut);
    return face;
}

}  // namespace

std::string EncodeFont(const LogFont& font) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,",
                  static_cast<long>(font.height), static_cast<long>(font.width),
                  static_cast<long>(font.escapement), static_cast<long>(font.orientation),
                  static_cast<long>(font.weight), font.italic, font.underline, font.strikeOut, font.charSet,
                  font.outPrecision, font.clipPrecision, font.quality, font.pitchAndFamily);
    return numbers + font.faceName;
}

LogFont DecodeFont(const std::string& text) {
    LogFont font;
    int32_t* const wide[] = {&font.height, &font.width, &font.escapement, &font.orientation, &font.weight};
    uint8_t* const narrow[] = {&font.italic,  &font.underline,     &font.strikeOut,
                               &font.charSet, &font.outPrecision,  &font.clipPrecision,
                               &font.quality, &font.pitchAndFamily};
    FieldReader reader(text);
    for (int32_t* field : wide) {
        const std::optional<uint32_t> value = reader.Number();
        if (!value) return font;
        *field = static_cast<int32_t>(*value);
        if (!reader.Comma()) return font;
    }
    for (uint8_t* field : narrow) {
        const std::optional<uint32_t> value = reader.Number();
        if (!value) return font;
        *field = static_cast<uint8_t>(*value & 0xFF);
        if (!reader.Comma()) return font;
    }
    if (const std::optional<std::string> face = reader.FaceName())
        font.faceName = CutFaceName(*face, kFaceNameMax);
    return font;
}

}  // namespace quarto
