#pragma once
// Text beyond one glyph a character, for the text engine: grapheme clusters,
// lines shaped by Qt's text layout (HarfBuzz) with font fallback, and the
// bidirectional order of a line. Plain text (IsPlain) never comes here, so
// Latin text keeps its character-by-character layout and its speed.

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <vector>

class QPaintDevice;

namespace WYSIWYGShaping {

// A code unit that is a cluster of its own, runs left to right and needs no
// shaping, whatever stands around it.
inline bool IsPlainUnit(char16_t u)
{
    if (u < 0x0300)
        return true;
    if (u < 0x0370)
        return false; // combining marks
    if (u < 0x0483)
        return true; // Greek, Cyrillic
    if (u < 0x048A)
        return false;
    if (u < 0x0530)
        return true;
    if (u >= 0x1E00 && u < 0x2000)
        return true; // Latin and Greek extended
    if (u >= 0x2010 && u < 0x2028)
        return true; // dashes, quotes
    if (u >= 0x2030 && u < 0x205F)
        return true;
    if (u >= 0x20A0 && u < 0x20C0)
        return true; // currency signs
    if (u >= 0x3000 && u < 0x3099)
        return true; // CJK punctuation, kana before the combining marks
    if (u >= 0x309B && u < 0xA000)
        return true; // kana, CJK ideographs
    if (u >= 0xAC00 && u < 0xD7A4)
        return true; // Hangul syllables
    if (u >= 0xFF01 && u < 0xFFF0)
        return true; // full-width forms
    return false;
}

bool IsPlain(QStringView text);

// One flag a code unit: true where a grapheme cluster starts.
std::vector<char> ClusterStarts(QStringView text);

// Right to left when the first strong character is; nullopt-like: none found
// leaves found false.
bool FirstStrongRightToLeft(QStringView text, bool &found);

struct TGlyph
{
    quint32 Index = 0;
    int Font = 0;
    // From the cluster's left edge and the baseline.
    QPointF Offset;
};

struct TCluster
{
    qsizetype Start = 0;
    qsizetype Length = 0;
    qreal Left = 0; // from the line's visual start
    qreal Width = 0;
    bool RightToLeft = false;
    std::vector<TGlyph> Glyphs;
};

struct TShapedLine
{
    qreal Width = 0;
    // In logical order.
    std::vector<TCluster> Clusters;
};

// Shapes in one font on one measuring device; x measures are scaled by xScale
// (the device's horizontal over vertical resolution). Fonts used by glyphs,
// the element's own and its fallbacks, are collected in Fonts().
class TShaper
{
public:
    TShaper(const QFont &font, QPaintDevice *device, qreal xScale);

    qreal Width(QStringView text, bool rightToLeft) const;
    TShapedLine Shape(QStringView line, bool rightToLeft, bool withGlyphs);
    // The caret position visually beside pos in line; pos itself at the line's end that way.
    int VisualNeighbour(QStringView line, bool rightToLeft, int pos, bool right) const;
    const std::vector<QRawFont> &Fonts() const { return m_fonts; }
    // Numbers fonts met before on from the first.
    void Adopt(const QRawFont &font) { FontIndex(font); }

private:
    int FontIndex(const QRawFont &font);

    QFont m_font;
    QPaintDevice *m_device;
    qreal m_xScale;
    std::vector<QRawFont> m_fonts;
};

// Drops Qt's warnings about fonts without tables for a script: the fallback
// font draws those characters, and the warning says nothing a user can act on.
void FilterMissingScriptWarnings();

} // namespace WYSIWYGShaping
