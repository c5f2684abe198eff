#pragma once
// The text layout of one visual element: its display text measured once, in
// printer pixels on a reference canvas at the current printer's resolution,
// and kept as characters placed in percent of the element's rectangle, so the
// screen at any zoom and the printed page break lines at the same characters.
// A character here is a grapheme cluster: lines that need it are shaped, in
// their bidirectional order, with font fallback (CWYSIWYGShaping). It also lays
// out the grid of fixed character boxes.

#include "CPublished.h"
#include "CVeloraTypes.h"

#include <QChar>
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QRect;
class TWYSIWYGFontMetrics;

// One laid-out character; positions and sizes in percent of the element.
struct TWYSIWYGEngineChar
{
    TWYSIWYGEngineChar() = default;
    TWYSIWYGEngineChar(QChar ch, Extended x, Extended y, Extended width, Extended height, int line,
                       bool hardBreak, bool softBreak)
        : X(x), Y(y), Width(width), Height(height), Line(line), Ch(ch), HardBreak(hardBreak),
          SoftBreak(softBreak)
    { }

    Extended X = 0;
    Extended Y = 0;
    Extended Width = 0;
    Extended Height = 0;
    int Line = 0;
    // CR and LF for break entries, NUL for the end of the text, a blank for a box.
    QChar Ch;
    bool HardBreak = false;
    bool SoftBreak = false;
    // A code unit after the first of its grapheme cluster: no width of its own,
    // no caret stop, drawn with its cluster.
    bool ClusterPart = false;
    // Runs right to left: the caret before it stands at its right edge.
    bool RightToLeft = false;

    bool IsBreak() const { return HardBreak || SoftBreak; }
};

using TWYSIWYGEngineCharList = std::vector<TWYSIWYGEngineChar>;

// A rectangle in printer pixels whose right and bottom edges lie outside it.
struct TWYSIWYGRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
};

// What one build lays out, in the units the engine measures in: the element's
// settings and where it sits. The engine reads nothing else of its element.
struct TWYSIWYGLayoutRequest
{
    // False while the element sits on no page: nothing is built.
    bool Placed = false;
    // The element's rectangle and the area inside its border and pad, in printer pixels.
    TWYSIWYGRect Ref;
    TWYSIWYGRect Area;
    QString FontFamily;
    TCharacterStyles FontStyle;
    int FontPoints = 0;
    TParagraphStyle Style = psVariable;
    TAlignment HorzAlign = taLeftJustify;
    TVerticalAlignment VertAlign = taAlignTop;
    TParagraphDirection Direction = pdAutomatic;
    // Fixed boxes and their gaps in millimetres, and the printer resolution of the page.
    Extended FixedWidth = 0;
    Extended FixedHeight = 0;
    Extended FixedHorzGap = 0;
    Extended FixedVertGap = 0;
    Extended PrinterPixelsPerInchX = 0;
    Extended PrinterPixelsPerInchY = 0;
};

// The element an engine lays out, as the engine sees it.
class TWYSIWYGLayoutSource
{
public:
    virtual ~TWYSIWYGLayoutSource() = default;
    virtual TWYSIWYGLayoutRequest LayoutRequest() const = 0;
    // Fills and outlines one fixed box at a target rectangle.
    virtual void DrawFixedBox(QPainter &canvas, const QRect &box, bool onScreen) = 0;
};

class TWYSIWYGEngine
{
public:
    // The source outlives its engine.
    explicit TWYSIWYGEngine(TWYSIWYGLayoutSource *source);
    virtual ~TWYSIWYGEngine();
    TWYSIWYGEngine(const TWYSIWYGEngine &) = delete;
    TWYSIWYGEngine &operator=(const TWYSIWYGEngine &) = delete;

    // Reset false lays the previous wrapped text out again; the text is then used
    // only when there is none.
    virtual void BuildWYSIWYGData(bool reset, const QString &text, bool wrap);

    // Entries are valid until the next build; null out of range.
    int TextDataCount() const { return int(m_textChars.size()); }
    const TWYSIWYGEngineChar *TextData(int i) const;
    int FixedBordersDataCount() const { return int(m_fixedBorders.size()); }
    const TWYSIWYGEngineChar *FixedBordersData(int i) const;
    // Y of the first entry of the line that is not a break entry; -1 when there is none.
    virtual Extended GetTextLineTop(int line) const;
    virtual Extended RelPos(Extended value, Extended total) const { return value / total * 100; }

    bool Building() const { return m_building; }
    // Those of the text's last layout; for an empty text, those of the box grid.
    bool Overflow() const { return m_overflow; }
    int LineNo() const { return m_lineNo; }
    // The text after word wrap: one entry of TextData per character, plus the end entry.
    const QString &WrappedText() const { return m_wrappedText; }
    Extended CellWidth() const { return m_cellWidth; }
    Extended CellHeight() const { return m_cellHeight; }
    Extended CellHorzGap() const { return m_cellHorzGap; }
    Extended CellVertGap() const { return m_cellVertGap; }

    // Printer-pixel measures in the font of the last build (zero before the first).
    Extended TextWidth(QStringView text) const;
    Extended TextHeight() const;
    // The font text is measured in: the element's, at the reference canvas resolution.
    QFont MeasuringFont() const { return m_font; }
    // The font DrawText uses on a target of that height.
    QFont TargetFont(int targetHeight) const { return DrawingFont(targetHeight); }

    // X in percent of the caret before entry i: the leading edge of its cluster.
    Extended CaretX(int i) const;
    // The text of the cluster entry i starts.
    QString ClusterText(int i) const;
    // The caret stop visually right (or left) of entry i on its line; -1 at the
    // line's end that way, and on lines laid out left to right a character at a time.
    int VisualNeighbour(int i, bool right) const;
    // Lines count from 1; false for lines not laid out.
    bool LineRightToLeft(int line) const;
    bool LineShaped(int line) const;

    // True when the element's size on the page is not the one last laid out.
    bool NeedsBuild() const;
    // What was laid out no longer holds (the text or a setting changed unbuilt).
    void Invalidate() { m_built = false; }

    // Drawing scales the stored percentages to any target rectangle; it never
    // measures for layout. Lines first..last are drawn from the top of target.
    void DrawText(QPainter &canvas, const QRect &target, int firstLine, int lastLine,
                  const QColor &color, int selStart = 0, int selLength = 0) const;
    // Every box of the grid, filled and outlined from the fixed-box groups.
    void DrawFixedBorders(QPainter &canvas, const QRect &target, bool onScreen) const;

protected:
    virtual void BuildData(QStringView text, const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                           TWYSIWYGEngineCharList &out);
    virtual void CalcFixedHelpers();
    virtual void ClearData(TWYSIWYGEngineCharList &list);
    virtual void DoBuildData(bool reset, const QString &text, bool wrap);
    // Offset of a line in percent of the reference width; width is in printer
    // pixels, or in boxes for fixed boxes.
    virtual Extended HorzAlign(const TWYSIWYGRect &ref, const TWYSIWYGRect &area, Extended width,
                               bool soft, bool rightToLeft);
    // Extra printer pixels for each inner blank of a justified line.
    virtual Extended Justify(const TWYSIWYGRect &area, QStringView line, Extended width);
    // pos is at a CR and ends past the break; ex is the breaks' X in percent.
    virtual void LineBreak(const TWYSIWYGRect &ref, Extended ex, Extended y, int &pos,
                           QStringView text, TWYSIWYGEngineCharList &out);
    // Moves every entry by the alignment offset (percent), which it returns.
    virtual Extended VerticalAlignment(const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                                       Extended y, TWYSIWYGEngineCharList &out);
    virtual QString WrapTxt(QStringView text, int maxWidth);

private:
    // Offset from its cluster's left edge and baseline, in printer pixels.
    struct TGlyph
    {
        quint32 Index = 0;
        int Font = 0;
        QPointF Offset;
    };
    struct TGlyphSpan
    {
        int First = 0;
        int Count = 0;
    };
    void BuildBoxGrid(const TWYSIWYGRect &ref, const TWYSIWYGRect &area, bool wrap);
    bool ParagraphRightToLeft(QStringView text, qsizetype from) const;
    // Lays out one line that is not plain left-to-right text; returns the X in
    // percent of its logical end.
    Extended BuildShapedLine(QStringView line, qsizetype base, const TWYSIWYGRect &ref,
                             const TWYSIWYGRect &area, Extended y, bool soft, bool rightToLeft,
                             Extended &x, Extended &offset, TWYSIWYGEngineCharList &out);
    Extended ShapedWidth(QStringView text, bool rightToLeft) const;
    Extended WordWidth(QStringView text, qsizetype from, qsizetype to, bool rightToLeft) const;
    void DrawShaped(QPainter &canvas, const TGlyphSpan &span, QPointF at, qreal scaleX,
                    qreal scaleY, int targetPixels) const;
    void PrepareFont();
    Extended CharWidth(QStringView text, qsizetype i) const;
    Extended LineWidth(QStringView line) const;
    int LineStart(int line) const;
    bool FixedStyle() const;
    Extended BoxPitchX() const { return m_cellWidth + m_cellHorzGap; }
    Extended BoxPitchY() const { return m_cellHeight + m_cellVertGap; }
    QFont DrawingFont(int targetHeight) const;

    TWYSIWYGLayoutSource *m_source;
    // The request of the last build.
    TWYSIWYGLayoutRequest m_request;
    bool m_building = false;
    TWYSIWYGEngineCharList m_fixedBorders;
    TWYSIWYGEngineCharList m_textChars;
    Extended m_cellHeight = 0;
    Extended m_cellHorzGap = 0;
    Extended m_cellVertGap = 0;
    Extended m_cellWidth = 0;
    int m_lineNo = 0;
    bool m_overflow = false;
    QString m_wrappedText;
    // Per line from 1 (0 unused): right to left, and shaped rather than plain.
    std::vector<char> m_lineRtl;
    std::vector<char> m_lineShaped;
    // The glyphs of shaped clusters by entry (empty when no line is shaped), and
    // their fonts at the measuring size.
    std::vector<TGlyphSpan> m_spans;
    std::vector<TGlyph> m_glyphs;
    std::vector<QRawFont> m_glyphFonts;
    mutable std::vector<QRawFont> m_scaledFonts;
    mutable int m_scaledPixels = -1;
    bool m_grid = false;

    // What the last build measured with and laid out into.
    QFont m_font;
    int m_fontPixels = 0;
    std::shared_ptr<TWYSIWYGFontMetrics> m_metrics;
    TWYSIWYGRect m_ref;
    bool m_built = false;
};

// Sets the reference canvas up again at the current printer's resolution. A
// printer that cannot be asked is reported once; measuring then goes on at the
// previous resolution (at first, the built-in printer's).
void WYSIWYGEngineRefreshPrnPgRefs();
// Pixels per inch the reference canvas measures at.
int WYSIWYGEnginePrnPgRefPixelsPerInchX();
int WYSIWYGEnginePrnPgRefPixelsPerInchY();

// Where the reference canvas takes its resolution from; false with a message
// when the printer cannot be asked. An empty query restores the printer service.
using TWYSIWYGPrnPgRefQuery = std::function<bool(int &ppiX, int &ppiY, QString &error)>;
void WYSIWYGEngineSetPrnPgRefQuery(TWYSIWYGPrnPgRefQuery query);
