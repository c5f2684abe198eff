#include "CWYSIWYGEngine.h"

#include "CDialogService.h"
#include "CPrinterService.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
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
    BuildData(grid, ref, area, m_fixedBorders);
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
    return m_metrics ? LineWidth(text) : 0;
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
    const auto width = [&](qsizetype k) -> Extended {
        return fixed ? 1 : CharWidth(text, k);
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

        Extended w = 0;
        for (qsizetype k = i; k < end; ++k)
            w += width(k);
        const QStringView word = text.sliced(i, end - i);
        if (w <= remaining) {
            result.append(word);
            remaining -= w;
        } else if (w <= max) {
            result.append(u"\r\r\n");
            result.append(word);
            remaining = max - w;
        } else {
            for (qsizetype k = i; k < end; ++k) {
                const Extended cw = width(k);
                // A surrogate pair stays together; a character wider than the line
                // gets a break before it even at the start of a line.
                const bool keep
                    = (text[k].isLowSurrogate() && k > i && text[k - 1].isHighSurrogate())
                    || cw <= remaining;
                if (keep) {
                    remaining -= cw;
                } else {
                    result.append(u"\r\r\n");
                    remaining = max - cw;
                }
                result.append(text[k]);
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

    Extended x = area.Left;
    Extended y = area.Top;
    Extended offset = 0;
    m_lineNo = 1;
    out.reserve(out.size() + size_t(text.size()) + 1);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text[i] == kCR) {
            // An empty line is not aligned: its breaks keep the offset of the line before.
            int pos = int(i);
            LineBreak(ref, x, y, pos, text, offset, out);
            i = pos;
            x = area.Left;
            y += lineHeight;
            ++m_lineNo;
            continue;
        }
        qsizetype end = i;
        while (end < n && text[end] != kCR)
            ++end;
        const QStringView line = text.sliced(i, end - i);
        const bool soft = SoftBreakAt(text, end);
        offset = HorzAlign(ref, area, line, soft);
        const Extended extra = Justify(area, line);
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
    out.emplace_back(QChar(0), RelPos(x, ref.Right) + offset, RelPos(y, ref.Bottom),
                     fixed ? cellW : 0, charH, m_lineNo, false, false);

    const Extended h = fixed ? m_cellHeight : TextHeight();
    y += h;
    m_overflow = Trunc(fixed ? x - m_cellHorzGap : x) > area.Right;
    if (!m_overflow)
        m_overflow = Trunc(y - h * 0.33L) > area.Bottom;
    VerticalAlignment(ref, area, y, out);
}

void TWYSIWYGEngine::LineBreak(const TWYSIWYGRect &ref, Extended x, Extended y, int &pos,
                               QStringView text, Extended horzOffset, TWYSIWYGEngineCharList &out)
{
    const bool soft = SoftBreakAt(text, pos);
    // A lone CR is one hard-break entry, so every character keeps its entry.
    const bool withLF = soft || text.sliced(pos).startsWith(u"\r\n");
    const bool fixed = FixedStyle();
    const Extended w = fixed ? RelPos(m_cellWidth, ref.Right) : 0;
    // A line tall in every style: a click on an empty line finds it by these entries.
    const Extended h = RelPos(fixed ? m_cellHeight : TextHeight(), ref.Bottom);
    const Extended ex = RelPos(x, ref.Right) + horzOffset;
    const Extended ey = RelPos(y, ref.Bottom);
    out.emplace_back(kCR, ex, ey, w, h, m_lineNo, !soft, soft);
    if (soft)
        out.emplace_back(kCR, ex, ey, w, h, m_lineNo, false, true);
    if (withLF)
        out.emplace_back(kLF, ex, ey, w, h, m_lineNo, !soft, soft);
    pos += soft ? 3 : (withLF ? 2 : 1);
}

Extended TWYSIWYGEngine::HorzAlign(const TWYSIWYGRect &ref, const TWYSIWYGRect &area,
                                   QStringView line, bool soft)
{
    const TAlignment align = m_request.HorzAlign;
    if (align == taLeftJustify || (m_request.Style == psJustified && soft))
        return 0;
    const bool fixed = FixedStyle();
    const Extended free = fixed ? area.Width() - (line.size() * BoxPitchX() - m_cellHorzGap)
                                : area.Width() - LineWidth(line);
    if (align == taRightJustify)
        return RelPos(free, ref.Right);
    if (fixed)
        return RelPos(Extended(Trunc(free / BoxPitchX()) / 2) * BoxPitchX(), ref.Right);
    return RelPos(free, ref.Right) / 2;
}

Extended TWYSIWYGEngine::Justify(const TWYSIWYGRect &area, QStringView line)
{
    if (m_request.Style != psJustified || line.isEmpty())
        return 0;
    const qsizetype inner = line.first(line.size() - 1).count(kBlank);
    if (inner <= 0)
        return 0;
    // A trailing blank hands its width over; a line broken inside a word has none.
    const Extended trailing = line.back() == kBlank ? TextWidth(u" ") : 0;
    return (area.Width() - LineWidth(line)) / inner + trailing / inner;
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
    const bool runs
        = !fixed && canvas.paintEngine() && canvas.paintEngine()->type() != QPaintEngine::User;
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
    for (size_t i = first; i < count; ++i) {
        const TWYSIWYGEngineChar &e = m_textChars[i];
        if (e.Line > lastLine)
            break;
        if (e.Ch.unicode() < 32
            || (e.Ch.isLowSurrogate() && i > 0 && m_textChars[i - 1].Ch.isHighSurrogate()))
            continue;
        QString glyph(e.Ch);
        if (e.Ch.isHighSurrogate() && m_textChars[i + 1].Ch.isLowSurrogate())
            glyph.append(m_textChars[i + 1].Ch);
        const int x = px(e.X, w) + target.left();
        const int y = px(e.Y - top, h) + target.top();
        const int boxRight = px(e.X + e.Width, w) + target.left();
        const int boxBottom = px(e.Y - top + e.Height, h) + target.top();
        const bool selected = int(i) >= selFrom && int(i) < selTo;
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
    canvas.restore();
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
