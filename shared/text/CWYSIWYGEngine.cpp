#include "CWYSIWYGEngine.h"

#include "CDialogService.h"
#include "CPrinterService.h"
#include "CWYSIWYGShaping.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <array>

namespace {
constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';
constexpr QChar kBlank = u' ';
constexpr int kBuiltInPrinterPpi = 600;
// A grid beyond this many boxes comes only from damaged files; it is cut short.
constexpr qsizetype kMaxBoxes = qsizetype(1) << 20;

bool IsVisible(QChar c)
{
    const char16_t u = c.unicode();
    return u > 32 && (u < 0x7F || u > 0x9F);
}

bool SoftBreakAt(QStringView text, qsizetype pos)
{
    return text.sliced(pos).startsWith(u"\r\r\n");
}

// The element's own text has hard breaks only: a lone CR or LF becomes CR LF,
// so every CR that reaches the layout has its LF.
QString NormaliseBreaks(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n
           && !((text[i] == kCR && (i + 1 == n || text[i + 1] != kLF))
                || (text[i] == kLF && (i == 0 || text[i - 1] != kCR))))
        ++i;
    if (i == n)
        return text;
    QString result;
    result.reserve(n + 16);
    result.append(QStringView(text).first(i));
    while (i < n) {
        const QChar c = text[i];
        if (c == kCR || c == kLF) {
            result.append(u"\r\n");
            i += (c == kCR && i + 1 < n && text[i + 1] == kLF) ? 2 : 1;
        } else {
            result.append(c);
            ++i;
        }
    }
    return result;
}
} // namespace

// ---------------------------------------------------------------------------
// Measuring on the reference canvas

// Widths of one font on the reference canvas, each character measured once.
class TWYSIWYGFontMetrics
{
public:
    TWYSIWYGFontMetrics(const QFont &font, QPaintDevice *device, Extended xScale)
        : m_metrics(font, device), m_xScale(xScale), m_height(m_metrics.height())
    {
        m_latin.fill(-1);
    }

    Extended Height() const { return m_height; }

    // Width of text[i]; a surrogate pair is measured whole on its first half.
    Extended Width(QStringView text, qsizetype i)
    {
        const QChar c = text[i];
        if (c.unicode() < m_latin.size()) {
            Extended &w = m_latin[c.unicode()];
            if (w < 0)
                w = m_metrics.horizontalAdvance(c) * m_xScale;
            return w;
        }
        if (c.isSurrogate())
            return SurrogateWidth(text, i);
        return Cached(c.unicode(), QStringView(&c, 1));
    }

private:
    Extended SurrogateWidth(QStringView text, qsizetype i)
    {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return Cached(QChar::surrogateToUcs4(c, text[i + 1]), text.sliced(i, 2));
        if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
            return 0;
        return Cached(c.unicode(), text.sliced(i, 1));
    }

    Extended Cached(char32_t key, QStringView glyph)
    {
        auto it = m_other.constFind(key);
        if (it != m_other.constEnd())
            return *it;
        const Extended w = glyph.size() == 1
            ? m_metrics.horizontalAdvance(glyph.front()) * m_xScale
            : m_metrics.horizontalAdvance(glyph.toString()) * m_xScale;
        m_other.insert(key, w);
        return w;
    }

    QFontMetricsF m_metrics;
    Extended m_xScale;
    Extended m_height;
    std::array<Extended, 256> m_latin;
    QHash<char32_t, Extended> m_other;
};

namespace {
struct TPrnPgRef
{
    bool Ready = false;
    bool Connected = false;
    bool Reported = false;
    int PpiX = kBuiltInPrinterPpi;
    int PpiY = kBuiltInPrinterPpi;
    // Stands in for a canvas on the printer: measuring only needs its resolution.
    QImage Device;
    QHash<QString, std::shared_ptr<TWYSIWYGFontMetrics>> Fonts;
    TWYSIWYGPrnPgRefQuery Query;
};

TPrnPgRef &RefState()
{
    static TPrnPgRef ref;
    return ref;
}

void ReleaseFonts()
{
    // Font engines must go while the application still exists.
    RefState().Fonts.clear();
    RefState().Ready = false;
}

bool QueryPrinterService(int &ppiX, int &ppiY, QString &error)
{
    const TPrinterService &printers = PrinterService();
    ppiX = printers.PixelsPerInchX();
    ppiY = printers.PixelsPerInchY();
    if (ppiX > 0 && ppiY > 0)
        return true;
    error = QStringLiteral("The printer \"%1\" cannot be opened to measure text.")
                .arg(printers.PrinterName());
    return false;
}

void SetUpRef(TPrnPgRef &ref, int ppiX, int ppiY)
{
    ref.PpiX = ppiX;
    ref.PpiY = ppiY;
    ref.Device = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    ref.Device.setDotsPerMeterX(qRound(ppiX / 0.0254));
    ref.Device.setDotsPerMeterY(qRound(ppiY / 0.0254));
    ref.Fonts.clear();
    WYSIWYGShaping::FilterMissingScriptWarnings();
    if (!ref.Ready)
        qAddPostRoutine(ReleaseFonts);
    ref.Ready = true;
}

void ConnectPrinterChanges(TPrnPgRef &ref)
{
    if (ref.Connected)
        return;
    ref.Connected = true;
    TPrinterService *printers = &PrinterService();
    QObject::connect(printers, &TPrinterService::PrinterChanged, printers,
                     [] { WYSIWYGEngineRefreshPrnPgRefs(); });
}

TPrnPgRef &PrnPgRef()
{
    TPrnPgRef &ref = RefState();
    if (!ref.Ready)
        WYSIWYGEngineRefreshPrnPgRefs();
    return ref;
}

WYSIWYGShaping::TShaper ShaperFor(const QFont &font)
{
    TPrnPgRef &ref = PrnPgRef();
    return WYSIWYGShaping::TShaper(font, &ref.Device, qreal(ref.PpiX) / ref.PpiY);
}

std::shared_ptr<TWYSIWYGFontMetrics> MetricsFor(const QFont &font)
{
    TPrnPgRef &ref = PrnPgRef();
    const QString key = font.key();
    std::shared_ptr<TWYSIWYGFontMetrics> &metrics = ref.Fonts[key];
    if (!metrics)
        metrics = std::make_shared<TWYSIWYGFontMetrics>(font, &ref.Device,
                                                        Extended(ref.PpiX) / ref.PpiY);
    return metrics;
}
} // namespace

void WYSIWYGEngineRefreshPrnPgRefs()
{
    TPrnPgRef &ref = RefState();
    ConnectPrinterChanges(ref);
    int ppiX = 0;
    int ppiY = 0;
    QString error;
    bool ok = ref.Query ? ref.Query(ppiX, ppiY, error) : QueryPrinterService(ppiX, ppiY, error);
    if (ok && (ppiX <= 0 || ppiY <= 0)) {
        ok = false;
        error = QStringLiteral("The printer reports no resolution to measure text at.");
    }
    if (!ok) {
        // Measuring goes on at the last good resolution; one report is enough.
        if (!ref.Reported) {
            ref.Reported = true;
            Global_MessageDlg(GlobalAppTitle(), error, mtError, mbOK, 0);
        }
        if (!ref.Ready)
            SetUpRef(ref, kBuiltInPrinterPpi, kBuiltInPrinterPpi);
        return;
    }
    ref.Reported = false;
    SetUpRef(ref, ppiX, ppiY);
}

int WYSIWYGEnginePrnPgRefPixelsPerInchX()
{
    return PrnPgRef().PpiX;
}

int WYSIWYGEnginePrnPgRefPixelsPerInchY()
{
    return PrnPgRef().PpiY;
}

void WYSIWYGEngineSetPrnPgRefQuery(TWYSIWYGPrnPgRefQuery query)
{
    RefState().Query = std::move(query);
}

// ---------------------------------------------------------------------------
// TWYSIWYGEngine

TWYSIWYGEngine::TWYSIWYGEngine(TWYSIWYGLayoutSource *source) : m_source(source) { }

TWYSIWYGEngine::~TWYSIWYGEngine() = default;

const TWYSIWYGEngineChar *TWYSIWYGEngine::TextData(int i) const
{
    return i >= 0 && i < TextDataCount() ? &m_textChars[size_t(i)] : nullptr;
}

const TWYSIWYGEngineChar *TWYSIWYGEngine::FixedBordersData(int i) const
{
    return i >= 0 && i < FixedBordersDataCount() ? &m_fixedBorders[size_t(i)] : nullptr;
}

void TWYSIWYGEngine::BuildWYSIWYGData(bool reset, const QString &text, bool wrap)
{
    DoBuildData(reset, text, wrap);
}

bool TWYSIWYGEngine::FixedStyle() const
{
    return m_request.Style == psFixed;
}

bool TWYSIWYGEngine::NeedsBuild() const
{
    const TWYSIWYGLayoutRequest request = m_source->LayoutRequest();
    if (!request.Placed)
        return false;
    return !m_built || request.Ref.Right != m_ref.Right || request.Ref.Bottom != m_ref.Bottom;
}

void TWYSIWYGEngine::DoBuildData(bool reset, const QString &text, bool wrap)
{
    TWYSIWYGLayoutRequest request = m_source->LayoutRequest();
    if (!request.Placed)
        return;
    struct TBuildingScope
    {
        bool &Flag;
        ~TBuildingScope() { Flag = false; }
    } building {m_building};
    m_building = true;

    ClearData(m_textChars);
    ClearData(m_fixedBorders);
    m_lineRtl.clear();
    m_lineShaped.clear();
    m_spans.clear();
    m_glyphs.clear();
    m_glyphFonts.clear();
    m_scaledFonts.clear();
    m_scaledPixels = -1;
    if (reset) {
        m_lineNo = 0;
        m_overflow = false;
        m_wrappedText.clear();
    }
    m_request = std::move(request);
    m_ref = m_request.Ref;
    m_built = true;
    const TWYSIWYGRect &ref = m_request.Ref;
    const TWYSIWYGRect &area = m_request.Area;
    // Sizes of 0 and less come from stored files; nothing can be placed in them.
    if (ref.Right <= 0 || ref.Bottom <= 0)
        return;
    const bool fixed = FixedStyle();
    if (fixed) {
        CalcFixedHelpers();
        if (BoxPitchX() <= 0 || BoxPitchY() <= 0)
            return;
        BuildBoxGrid(ref, area, wrap);
    }
    // Measured even for an empty text: the caret needs the line height.
    PrepareFont();
    if (reset && text.isEmpty())
        return;
    if (area.IsEmpty())
        return;
    if (reset || m_wrappedText.isEmpty()) {
        const QString normal = NormaliseBreaks(text);
        if (!wrap)
            m_wrappedText = normal;
        else if (fixed)
            m_wrappedText
                = WrapTxt(normal, int(Trunc((area.Width() + m_cellHorzGap) / BoxPitchX())));
        else
            m_wrappedText = WrapTxt(normal, area.Width());
    }
    BuildData(m_wrappedText, ref, area, m_textChars);
}

void TWYSIWYGEngine::ClearData(TWYSIWYGEngineCharList &list)
{
    list.clear();
}

void TWYSIWYGEngine::CalcFixedHelpers()
{
    const Extended ppiX = m_request.PrinterPixelsPerInchX;
    const Extended ppiY = m_request.PrinterPixelsPerInchY;
    m_cellWidth = m_request.FixedWidth * ppiX / 25.4L;
    m_cellHorzGap = m_request.FixedHorzGap * ppiX / 25.4L;
    m_cellHeight = m_request.FixedHeight * ppiY / 25.4L;
    m_cellVertGap = m_request.FixedVertGap * ppiY / 25.4L;
}

void TWYSIWYGEngine::BuildBoxGrid(const TWYSIWYGRect &ref, const TWYSIWYGRect &area, bool wrap)
{
    const qsizetype columns = qsizetype(Trunc((area.Width() + m_cellHorzGap) / BoxPitchX()));
    qsizetype rows = wrap ? qsizetype(Trunc((area.Height() + m_cellVertGap) / BoxPitchY())) + 1 : 1;
    if (columns <= 0 || rows <= 0)
        return;
    rows = qMin(rows, qMax<qsizetype>(1, kMaxBoxes / columns));
    QString grid;
    grid.reserve(rows * (columns + 2));
    const QString line(columns, kBlank);
    for (qsizetype r = 0; r < rows; ++r) {
        if (r > 0)
            grid.append(u"\r\n");
        grid.append(line);
    }
    // Line count and overflow are the grid's until a text is laid out over them.
    m_grid = true;
    BuildData(grid, ref, area, m_fixedBorders);
    m_grid = false;
}

void TWYSIWYGEngine::PrepareFont()
{
    const TCharacterStyles style = m_request.FontStyle;
    QFont font(m_request.FontFamily);
    font.setBold(style.testFlag(csBold));
    font.setItalic(style.testFlag(csItalic));
    font.setUnderline(style.testFlag(csUnderline));
    font.setStrikeOut(style.testFlag(csStrikeOut));
    // Hinted widths depend on the machine's font setup; kerning would make a
    // line narrower than the sum of its characters.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    m_fontPixels = qMax(
        1, int(Trunc(Extended(m_request.FontPoints) * WYSIWYGEnginePrnPgRefPixelsPerInchY() / 72)));
    font.setPixelSize(m_fontPixels);
    // Looked up on every build: a new reference canvas drops the old widths.
    m_metrics = MetricsFor(font);
    m_font = font;
}

Extended TWYSIWYGEngine::CharWidth(QStringView text, qsizetype i) const
{
    return m_metrics->Width(text, i);
}

Extended TWYSIWYGEngine::LineWidth(QStringView line) const
{
    Extended width = 0;
    for (qsizetype k = 0; k < line.size(); ++k)
        width += CharWidth(line, k);
    return width;
}

Extended TWYSIWYGEngine::TextWidth(QStringView text) const
{
    if (!m_metrics)
        return 0;
    if (WYSIWYGShaping::IsPlain(text))
        return LineWidth(text);
    bool found = false;
    return ShapedWidth(text, WYSIWYGShaping::FirstStrongRightToLeft(text, found));
}

Extended TWYSIWYGEngine::ShapedWidth(QStringView text, bool rightToLeft) const
{
    return ShaperFor(m_font).Width(text, rightToLeft);
}

Extended TWYSIWYGEngine::WordWidth(QStringView text, qsizetype from, qsizetype to,
                                   bool rightToLeft) const
{
    const QStringView word = text.sliced(from, to - from);
    if (!WYSIWYGShaping::IsPlain(word))
        return ShapedWidth(word, rightToLeft);
    Extended w = 0;
    for (qsizetype k = from; k < to; ++k)
        w += CharWidth(text, k);
    return w;
}

bool TWYSIWYGEngine::ParagraphRightToLeft(QStringView text, qsizetype from) const
{
    if (m_request.Direction != pdAutomatic)
        return m_request.Direction == pdRightToLeft;
    qsizetype end = from;
    // Up to the next hard break: soft breaks lie inside the paragraph.
    while (end < text.size() && !(text[end] == kCR && !SoftBreakAt(text, end)))
        end += SoftBreakAt(text, end) ? 3 : 1;
    bool found = false;
    return WYSIWYGShaping::FirstStrongRightToLeft(text.sliced(from, qMin(end, text.size()) - from),
                                                  found);
}

Extended TWYSIWYGEngine::TextHeight() const
{
    return m_metrics ? m_metrics->Height() : 0;
}

QString TWYSIWYGEngine::WrapTxt(QStringView text, int maxWidth)
{
    const bool fixed = FixedStyle();
    // Right-aligned plain text carries blanks to the next word, so no blank ends a line.
    const bool blanksTrail
        = m_request.Style == psJustified || m_request.HorzAlign != taRightJustify;
    const Extended max = maxWidth == 0 ? Extended(2147483647) : Extended(maxWidth);
    // Plain text is its own clusters; other text breaks only between clusters.
    const bool plain = WYSIWYGShaping::IsPlain(text);
    const std::vector<char> starts
        = plain ? std::vector<char>() : WYSIWYGShaping::ClusterStarts(text);
    const auto clusterEnd = [&](qsizetype k, qsizetype limit) {
        ++k;
        while (!plain && k < limit && !starts[size_t(k)])
            ++k;
        return k;
    };
    bool rtl = !plain && ParagraphRightToLeft(text, 0);
    const auto width = [&](qsizetype from, qsizetype to) -> Extended {
        if (!fixed && !plain)
            return WordWidth(text, from, to, rtl);
        if (!fixed) {
            Extended w = 0;
            for (qsizetype k = from; k < to; ++k)
                w += CharWidth(text, k);
            return w;
        }
        Extended boxes = 0;
        for (qsizetype k = from; k < to; k = clusterEnd(k, to))
            ++boxes;
        return boxes;
    };

    QString result;
    result.reserve(text.size() + text.size() / 8 + 16);
    Extended remaining = max;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        qsizetype end = i + 1;
        if (c == kCR || c == kLF) {
            result.append(c);
            if (c == kCR)
                remaining = max;
            ++i;
            if (c == kLF && !plain)
                rtl = ParagraphRightToLeft(text, i);
            continue;
        }
        if (c == kBlank) {
            if (!blanksTrail)
                while (end < n && IsVisible(text[end]))
                    ++end;
        } else if (IsVisible(c)) {
            while (end < n && IsVisible(text[end]))
                ++end;
            if (blanksTrail && end < n && text[end] == kBlank)
                ++end;
        } else {
            result.append(c);
            ++i;
            continue;
        }

        const Extended w = width(i, end);
        const QStringView word = text.sliced(i, end - i);
        if (w <= remaining) {
            result.append(word);
            remaining -= w;
        } else if (w <= max) {
            result.append(u"\r\r\n");
            result.append(word);
            remaining = max - w;
        } else {
            for (qsizetype k = i; k < end;) {
                const qsizetype next = clusterEnd(k, end);
                const Extended cw = width(k, next);
                // A character wider than the line gets a break before it even at
                // the start of a line.
                if (cw <= remaining) {
                    remaining -= cw;
                } else {
                    result.append(u"\r\r\n");
                    remaining = max - cw;
                }
                result.append(text.sliced(k, next - k));
                k = next;
            }
        }
        i = end;
    }
    return result;
}

void TWYSIWYGEngine::BuildData(QStringView text, const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                               TWYSIWYGEngineCharList &out)
{
    const bool fixed = FixedStyle();
    const bool justified = m_request.Style == psJustified;
    const bool right = m_request.HorzAlign == taRightJustify;
    const Extended lineHeight = fixed ? BoxPitchY() : TextHeight();
    const Extended cellW = RelPos(m_cellWidth, ref.Right);
    const Extended cellH = RelPos(m_cellHeight, ref.Bottom);
    const Extended charH = fixed ? cellH : RelPos(TextHeight(), ref.Bottom);
    // Plain text in a paragraph that runs left to right is laid out a character
    // at a time; anything else a line at a time, shaped.
    const bool shaping
        = !m_grid && (m_request.Direction == pdRightToLeft || !WYSIWYGShaping::IsPlain(text));
    const auto markLine = [this](bool rtl, bool shaped) {
        if (m_lineRtl.size() <= size_t(m_lineNo)) {
            m_lineRtl.resize(size_t(m_lineNo) + 1, 0);
            m_lineShaped.resize(size_t(m_lineNo) + 1, 0);
        }
        m_lineRtl[size_t(m_lineNo)] = rtl;
        m_lineShaped[size_t(m_lineNo)] = shaped;
    };
    if (shaping)
        m_spans.assign(size_t(text.size()) + 1, TGlyphSpan());

    Extended x = area.Left;
    Extended y = area.Top;
    Extended offset = 0;
    // X in percent of the caret after the line's last character; below zero
    // for a plain line, whose breaks stand at x.
    Extended lineEnd = -1;
    bool rtl = false;
    bool paragraphStart = true;
    m_lineNo = 1;
    out.reserve(out.size() + size_t(text.size()) + 1);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (shaping && paragraphStart) {
            rtl = ParagraphRightToLeft(text, i);
            paragraphStart = false;
        }
        if (text[i] == kCR) {
            // An empty line is not aligned: its breaks keep the offset of the line before.
            int pos = int(i);
            paragraphStart = !SoftBreakAt(text, i);
            Extended ex = lineEnd >= 0 ? lineEnd : RelPos(x, ref.Right) + offset;
            if (lineEnd < 0 && rtl && !fixed && x == area.Left)
                ex = RelPos(area.Right, ref.Right); // an empty line starts at the right
            if (shaping && (i == 0 || text[i - 1] == kLF))
                markLine(rtl, true);
            LineBreak(ref, ex, y, pos, text, out);
            i = pos;
            x = area.Left;
            y += lineHeight;
            lineEnd = -1;
            ++m_lineNo;
            continue;
        }
        qsizetype end = i;
        while (end < n && text[end] != kCR)
            ++end;
        const QStringView line = text.sliced(i, end - i);
        const bool soft = SoftBreakAt(text, end);
        if (shaping && (rtl || !WYSIWYGShaping::IsPlain(line))) {
            markLine(rtl, true);
            lineEnd = BuildShapedLine(line, qsizetype(out.size()), ref, area, y, soft, rtl, x,
                                      offset, out);
            i = end;
            continue;
        }
        if (shaping)
            markLine(false, false);
        const bool measured = !fixed && (justified || m_request.HorzAlign != taLeftJustify);
        const Extended lineWidth = measured ? LineWidth(line) : 0;
        offset = HorzAlign(ref, area, fixed ? Extended(line.size()) : lineWidth, soft, false);
        const Extended extra = Justify(area, line, lineWidth);
        const bool spread = justified && soft;
        const qsizetype last = line.size() - 1;
        for (qsizetype k = 0; k <= last; ++k) {
            const QChar c = line[k];
            if (spread && c == kBlank && (right ? k != 0 : k != last))
                x += extra;
            if (fixed) {
                out.emplace_back(c, RelPos(x, ref.Right) + offset, RelPos(y, ref.Bottom), cellW,
                                 cellH, m_lineNo, false, false);
                x += BoxPitchX();
            } else {
                const Extended w = CharWidth(line, k);
                out.emplace_back(c, RelPos(x, ref.Right) + offset, RelPos(y, ref.Bottom),
                                 RelPos(w, ref.Right), charH, m_lineNo, false, false);
                x += w;
            }
        }
        i = end;
    }
    if (shaping && paragraphStart)
        rtl = ParagraphRightToLeft(text, n);
    Extended ex = lineEnd >= 0 ? lineEnd : RelPos(x, ref.Right) + offset;
    if (shaping && lineEnd < 0 && (n == 0 || text[n - 1] == kLF)) {
        markLine(rtl, true);
        if (rtl && !fixed)
            ex = RelPos(area.Right, ref.Right);
    }
    out.emplace_back(QChar(0), ex, RelPos(y, ref.Bottom), fixed ? cellW : 0, charH, m_lineNo, false,
                     false);

    const Extended h = fixed ? m_cellHeight : TextHeight();
    y += h;
    m_overflow = Trunc(fixed ? x - m_cellHorzGap : x) > area.Right;
    if (!m_overflow)
        m_overflow = Trunc(y - h * 0.33L) > area.Bottom;
    VerticalAlignment(ref, area, y, out);
}

Extended TWYSIWYGEngine::BuildShapedLine(QStringView line, qsizetype base, const TWYSIWYGRect &ref,
                                         const TWYSIWYGRect &area, Extended y, bool soft,
                                         bool rightToLeft, Extended &x, Extended &offset,
                                         TWYSIWYGEngineCharList &out)
{
    const bool fixed = FixedStyle();
    WYSIWYGShaping::TShaper shaper = ShaperFor(m_font);
    // Glyph fonts are numbered per build; the shaper starts from those already met.
    for (const QRawFont &font : m_glyphFonts)
        shaper.Adopt(font);
    const WYSIWYGShaping::TShapedLine shaped = shaper.Shape(line, rightToLeft, !fixed);
    m_glyphFonts = shaper.Fonts();
    const std::vector<WYSIWYGShaping::TCluster> &clusters = shaped.Clusters;
    if (clusters.empty())
        return RelPos(x, ref.Right) + offset;
    std::vector<size_t> visual(clusters.size());
    for (size_t k = 0; k < visual.size(); ++k)
        visual[k] = k;
    std::stable_sort(visual.begin(), visual.end(),
                     [&](size_t a, size_t b) { return clusters[a].Left < clusters[b].Left; });

    const Extended ey = RelPos(y, ref.Bottom);
    const Extended cellW = RelPos(m_cellWidth, ref.Right);
    const Extended charH
        = fixed ? RelPos(m_cellHeight, ref.Bottom) : RelPos(TextHeight(), ref.Bottom);
    const WYSIWYGShaping::TCluster &lastCluster = clusters.back();
    const bool trailingBlank = line[lastCluster.Start] == kBlank;
    const bool spread = m_request.Style == psJustified && soft;
    offset = HorzAlign(ref, area, fixed ? Extended(clusters.size()) : Extended(shaped.Width), soft,
                       rightToLeft);
    const Extended extra = fixed ? 0 : Justify(area, line, shaped.Width);
    // Right to left, a justified line's trailing blank stands left of the margin.
    if (spread && rightToLeft && trailingBlank)
        offset -= RelPos(lastCluster.Width, ref.Right);

    out.resize(size_t(base + line.size()));
    Extended at = area.Left;
    Extended shift = 0;
    for (size_t k : visual) {
        const WYSIWYGShaping::TCluster &cluster = clusters[k];
        const QChar first = line[cluster.Start];
        Extended left;
        Extended width;
        if (fixed) {
            left = at;
            width = cellW;
            at += BoxPitchX();
        } else {
            if (spread && first == kBlank && &cluster != &lastCluster)
                shift += extra;
            left = area.Left + cluster.Left + shift;
            width = RelPos(cluster.Width, ref.Right);
        }
        const Extended ex = RelPos(left, ref.Right) + offset;
        TWYSIWYGEngineChar &entry = out[size_t(base + cluster.Start)];
        entry = TWYSIWYGEngineChar(first, ex, ey, width, charH, m_lineNo, false, false);
        entry.RightToLeft = cluster.RightToLeft;
        for (qsizetype p = 1; p < cluster.Length; ++p) {
            TWYSIWYGEngineChar &part = out[size_t(base + cluster.Start + p)];
            part = TWYSIWYGEngineChar(line[cluster.Start + p], ex, ey, 0, charH, m_lineNo, false,
                                      false);
            part.ClusterPart = true;
            part.RightToLeft = cluster.RightToLeft;
        }
        if (!fixed && !cluster.Glyphs.empty()) {
            m_spans[size_t(base + cluster.Start)]
                = {int(m_glyphs.size()), int(cluster.Glyphs.size())};
            for (const WYSIWYGShaping::TGlyph &g : cluster.Glyphs)
                m_glyphs.push_back({g.Index, g.Font, g.Offset});
        }
    }
    x = fixed ? at : area.Left + Extended(shaped.Width) + shift;
    const TWYSIWYGEngineChar &last = out[size_t(base + lastCluster.Start)];
    const Extended pitch = fixed ? RelPos(BoxPitchX(), ref.Right) : last.Width;
    return last.RightToLeft ? (fixed ? last.X - pitch : last.X) : last.X + pitch;
}

void TWYSIWYGEngine::LineBreak(const TWYSIWYGRect &ref, Extended ex, Extended y, int &pos,
                               QStringView text, TWYSIWYGEngineCharList &out)
{
    const bool soft = SoftBreakAt(text, pos);
    // A lone CR is one hard-break entry, so every character keeps its entry.
    const bool withLF = soft || text.sliced(pos).startsWith(u"\r\n");
    const bool fixed = FixedStyle();
    const Extended w = fixed ? RelPos(m_cellWidth, ref.Right) : 0;
    // A line tall in every style: a click on an empty line finds it by these entries.
    const Extended h = RelPos(fixed ? m_cellHeight : TextHeight(), ref.Bottom);
    const Extended ey = RelPos(y, ref.Bottom);
    out.emplace_back(kCR, ex, ey, w, h, m_lineNo, !soft, soft);
    if (soft)
        out.emplace_back(kCR, ex, ey, w, h, m_lineNo, false, true);
    if (withLF)
        out.emplace_back(kLF, ex, ey, w, h, m_lineNo, !soft, soft);
    pos += soft ? 3 : (withLF ? 2 : 1);
}

Extended TWYSIWYGEngine::HorzAlign(const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                                   Extended width, bool soft, bool rightToLeft)
{
    TAlignment align = m_request.HorzAlign;
    // Left and right are the paragraph's start and end.
    if (rightToLeft && align != taCenter)
        align = align == taLeftJustify ? taRightJustify : taLeftJustify;
    if (align == taLeftJustify || (m_request.Style == psJustified && soft))
        return 0;
    const bool fixed = FixedStyle();
    const Extended free
        = fixed ? area.Width() - (width * BoxPitchX() - m_cellHorzGap) : area.Width() - width;
    if (align == taRightJustify)
        return RelPos(free, ref.Right);
    if (fixed)
        return RelPos(Extended(Trunc(free / BoxPitchX()) / 2) * BoxPitchX(), ref.Right);
    return RelPos(free, ref.Right) / 2;
}

Extended TWYSIWYGEngine::Justify(const TWYSIWYGRect &area, QStringView line, Extended width)
{
    if (m_request.Style != psJustified || line.isEmpty())
        return 0;
    const qsizetype inner = line.first(line.size() - 1).count(kBlank);
    if (inner <= 0)
        return 0;
    // A trailing blank hands its width over; a line broken inside a word has none.
    const Extended trailing = line.back() == kBlank ? TextWidth(u" ") : 0;
    return (area.Width() - width) / inner + trailing / inner;
}

Extended TWYSIWYGEngine::VerticalAlignment(const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                                           Extended y, TWYSIWYGEngineCharList &out)
{
    const TVerticalAlignment align = m_request.VertAlign;
    if (align == taAlignTop)
        return 0;
    const Extended free = area.Bottom - y;
    Extended offset;
    if (align == taAlignBottom)
        offset = RelPos(free, ref.Bottom);
    else if (FixedStyle())
        offset = RelPos(Extended(Trunc(free / BoxPitchY()) / 2) * BoxPitchY(), ref.Bottom);
    else
        offset = RelPos(free, ref.Bottom) / 2;
    if (offset != 0)
        for (TWYSIWYGEngineChar &entry : out)
            entry.Y += offset;
    return offset;
}

Extended TWYSIWYGEngine::GetTextLineTop(int line) const
{
    for (const TWYSIWYGEngineChar &entry : m_textChars)
        if (entry.Line == line && !entry.IsBreak())
            return entry.Y;
    return -1.0L;
}

int TWYSIWYGEngine::LineStart(int line) const
{
    const auto it
        = std::lower_bound(m_textChars.begin(), m_textChars.end(), line,
                           [](const TWYSIWYGEngineChar &e, int value) { return e.Line < value; });
    return int(it - m_textChars.begin());
}

bool TWYSIWYGEngine::LineRightToLeft(int line) const
{
    return line > 0 && size_t(line) < m_lineRtl.size() && m_lineRtl[size_t(line)];
}

bool TWYSIWYGEngine::LineShaped(int line) const
{
    return line > 0 && size_t(line) < m_lineShaped.size() && m_lineShaped[size_t(line)];
}

Extended TWYSIWYGEngine::CaretX(int i) const
{
    const TWYSIWYGEngineChar *e = TextData(i);
    if (!e)
        return 0;
    return e->RightToLeft ? e->X + e->Width : e->X;
}

QString TWYSIWYGEngine::ClusterText(int i) const
{
    const TWYSIWYGEngineChar *e = TextData(i);
    if (!e)
        return {};
    QString text(e->Ch);
    for (int k = i + 1; k < TextDataCount() && m_textChars[size_t(k)].ClusterPart; ++k)
        text.append(m_textChars[size_t(k)].Ch);
    return text;
}

int TWYSIWYGEngine::VisualNeighbour(int i, bool right) const
{
    const TWYSIWYGEngineChar *e = TextData(i);
    if (!e || !LineShaped(e->Line) || !m_metrics)
        return -1;
    const int start = LineStart(e->Line);
    int end = start;
    while (end < TextDataCount() - 1 && !m_textChars[size_t(end)].IsBreak())
        ++end;
    if (end > m_wrappedText.size())
        return -1;
    const QStringView line = QStringView(m_wrappedText).sliced(start, end - start);
    const int pos = qBound(0, i - start, int(line.size()));
    const int next = ShaperFor(m_font).VisualNeighbour(line, LineRightToLeft(e->Line), pos, right);
    return next == pos || next < 0 || next > line.size() ? -1 : start + next;
}

// ---------------------------------------------------------------------------
// Drawing

QFont TWYSIWYGEngine::DrawingFont(int targetHeight) const
{
    QFont font = m_font;
    font.setPixelSize(
        qMax(1, int(Round(Extended(m_fontPixels) * targetHeight / qMax(1, m_ref.Bottom)))));
    return font;
}

void TWYSIWYGEngine::DrawText(QPainter &canvas, const QRect &target, int firstLine, int lastLine,
                              const QColor &color, int selStart, int selLength) const
{
    const int w = target.width();
    const int h = target.height();
    if (m_building || m_textChars.empty() || w <= 0 || h <= 0)
        return;
    const size_t count = m_textChars.size() - 1; // the end entry is never drawn
    size_t first = 0;
    while (first < count && m_textChars[first].Line < firstLine)
        ++first;
    if (first >= count)
        return;
    const Extended top = m_textChars[first].Y - m_textChars[0].Y;
    const auto px = [](Extended percent, int extent) {
        return int(Round(percent / 100 * extent));
    };
    const int selFrom = qMin(selStart, selStart + selLength);
    const int selTo = qMax(selStart, selStart + selLength);
    const bool fixed = FixedStyle();

    canvas.save();
    const QFont font = DrawingFont(h);
    canvas.setFont(font);
    const QFontMetricsF metrics(font, canvas.device());
    const qreal ascent = metrics.ascent();
    const QColor navy(0x00, 0x00, 0x80);
    // Glyphs at their laid-out places go out as one run a line: shaping each
    // character on its own costs more than the whole layout.
    // Engines of our own (recorders) get one text item a character, which they can read.
    const bool recorder
        = canvas.paintEngine() && canvas.paintEngine()->type() == QPaintEngine::User;
    const bool runs = !fixed && !recorder;
    const QRawFont raw = runs ? QRawFont::fromFont(font) : QRawFont();
    QList<quint32> runGlyphs;
    QList<QPointF> runPositions;
    const auto flush = [&] {
        if (runGlyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(runGlyphs);
        run.setPositions(runPositions);
        canvas.setPen(color);
        canvas.drawGlyphRun(QPointF(0, 0), run);
        runGlyphs.clear();
        runPositions.clear();
    };
    int runLine = -1;
    // Shaped glyphs of a line go out together in visual order, as text readers expect.
    struct TPending
    {
        QPointF At;
        quint32 Index;
        int Font;
    };
    std::vector<TPending> pending;
    const qreal scaleX = qreal(w) / qMax(1, m_ref.Right);
    const qreal scaleY = qreal(h) / qMax(1, m_ref.Bottom);
    if (!m_spans.empty() && m_scaledPixels != font.pixelSize()) {
        m_scaledFonts = m_glyphFonts;
        for (QRawFont &scaled : m_scaledFonts)
            scaled.setPixelSize(scaled.pixelSize() * font.pixelSize() / qMax(1, m_fontPixels));
        m_scaledPixels = font.pixelSize();
    }
    const auto flushShaped = [&] {
        if (pending.empty())
            return;
        std::stable_sort(pending.begin(), pending.end(),
                         [](const TPending &a, const TPending &b) { return a.At.x() < b.At.x(); });
        canvas.setPen(color);
        for (size_t k = 0; k < pending.size();) {
            const int font = pending[k].Font;
            QList<quint32> indexes;
            QList<QPointF> positions;
            for (; k < pending.size() && pending[k].Font == font; ++k) {
                indexes << pending[k].Index;
                positions << pending[k].At;
            }
            QGlyphRun run;
            run.setRawFont(m_scaledFonts[size_t(font)]);
            run.setGlyphIndexes(indexes);
            run.setPositions(positions);
            canvas.drawGlyphRun(QPointF(0, 0), run);
        }
        pending.clear();
    };
    int shapedLine = -1;
    for (size_t i = first; i < count; ++i) {
        const TWYSIWYGEngineChar &e = m_textChars[i];
        if (e.Line > lastLine)
            break;
        if (e.Ch.unicode() < 32 || e.ClusterPart)
            continue;
        const bool clustered = i + 1 < m_textChars.size() && m_textChars[i + 1].ClusterPart;
        const QString glyph = clustered ? ClusterText(int(i)) : QString(e.Ch);
        const int x = px(e.X, w) + target.left();
        const int y = px(e.Y - top, h) + target.top();
        const int boxRight = px(e.X + e.Width, w) + target.left();
        const int boxBottom = px(e.Y - top + e.Height, h) + target.top();
        const bool selected = int(i) >= selFrom && int(i) < selTo;
        if (e.Line != shapedLine)
            flushShaped();
        if (!fixed && !m_spans.empty() && LineShaped(e.Line)) {
            // Shaped: its glyphs as laid out, in the fonts that have them.
            flush();
            shapedLine = e.Line;
            const QPointF at(x, y + ascent);
            if (!selected && !recorder) {
                const TGlyphSpan &span = m_spans[i];
                for (int g = span.First; g < span.First + span.Count; ++g) {
                    const TGlyph &glyph = m_glyphs[size_t(g)];
                    pending.push_back(
                        {at + QPointF(glyph.Offset.x() * scaleX, glyph.Offset.y() * scaleY),
                         glyph.Index, glyph.Font});
                }
                continue;
            }
            if (selected)
                canvas.fillRect(QRect(x, y, boxRight - x, boxBottom - y), navy);
            canvas.setPen(selected ? QColor(Qt::white) : color);
            if (recorder)
                canvas.drawText(at, glyph);
            else
                DrawShaped(canvas, m_spans[i], at, scaleX, scaleY, font.pixelSize());
            continue;
        }
        if (runs && !selected && raw.isValid()) {
            const QList<quint32> indexes = raw.glyphIndexesForString(glyph);
            if (indexes.size() == 1 && indexes.first() != 0) {
                if (e.Line != runLine)
                    flush();
                runLine = e.Line;
                runGlyphs << indexes.first();
                runPositions << QPointF(x, y + ascent);
                continue;
            }
        }
        flush();
        if (selected) {
            const TWYSIWYGEngineChar &next = m_textChars[i + 1];
            const int right
                = !fixed && next.Line == e.Line ? px(next.X, w) + target.left() : boxRight;
            canvas.fillRect(QRect(x, y, right - x, boxBottom - y), navy);
        }
        QPointF at(x, y + ascent);
        if (fixed) {
            const qreal gw = metrics.horizontalAdvance(glyph);
            at = QPointF(x + int(Round((boxRight - x - gw) / 2)),
                         y + int(Round((boxBottom - y - metrics.height()) / 2)) + ascent);
        }
        canvas.setPen(selected ? QColor(Qt::white) : color);
        canvas.drawText(at, glyph);
    }
    flush();
    flushShaped();
    canvas.restore();
}

void TWYSIWYGEngine::DrawShaped(QPainter &canvas, const TGlyphSpan &span, QPointF at, qreal scaleX,
                                qreal scaleY, int targetPixels) const
{
    // The fonts are scaled to targetPixels by DrawText.
    Q_UNUSED(targetPixels);
    if (span.Count == 0)
        return;
    const int end = span.First + span.Count;
    for (int g = span.First; g < end;) {
        const int font = m_glyphs[size_t(g)].Font;
        QList<quint32> indexes;
        QList<QPointF> positions;
        for (; g < end && m_glyphs[size_t(g)].Font == font; ++g) {
            const TGlyph &glyph = m_glyphs[size_t(g)];
            indexes << glyph.Index;
            positions << at + QPointF(glyph.Offset.x() * scaleX, glyph.Offset.y() * scaleY);
        }
        QGlyphRun run;
        run.setRawFont(m_scaledFonts[size_t(font)]);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        canvas.drawGlyphRun(QPointF(0, 0), run);
    }
}

void TWYSIWYGEngine::DrawFixedBorders(QPainter &canvas, const QRect &target, bool onScreen) const
{
    const int w = target.width();
    const int h = target.height();
    if (m_building || m_fixedBorders.empty() || w <= 0 || h <= 0)
        return;
    const auto px = [](Extended percent, int extent) {
        return int(Round(percent / 100 * extent));
    };
    for (const TWYSIWYGEngineChar &e : m_fixedBorders) {
        if (e.Ch != kBlank)
            continue;
        const int x = px(e.X, w) + target.left();
        const int y = px(e.Y, h) + target.top();
        const QRect box(x, y, px(e.X + e.Width, w) + target.left() - x,
                        px(e.Y + e.Height, h) + target.top() - y);
        m_source->DrawFixedBox(canvas, box, onScreen);
    }
}
