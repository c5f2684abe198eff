#include "CWYSIWYGShaping.h"

#include <QGlyphRun>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <set>
#include <tuple>

namespace WYSIWYGShaping {

namespace {
// Wider than any line; the layout never breaks.
constexpr qreal kUnbounded = 1e6;

class TLineLayout
{
public:
    TLineLayout(QStringView text, const QFont &font, QPaintDevice *device, bool rightToLeft)
        : m_layout(text.toString(), font, device)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        // Measured from the line's visual start; the engine aligns.
        option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        // Blanks at a line's end take their room, as in the plain layout.
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        m_layout.setTextOption(option);
        m_layout.setCursorMoveStyle(Qt::VisualMoveStyle);
        m_layout.beginLayout();
        m_line = m_layout.createLine();
        if (m_line.isValid()) {
            m_line.setLineWidth(kUnbounded);
            m_line.setPosition(QPointF(0, 0));
        }
        m_layout.endLayout();
    }
    QTextLayout &Layout() { return m_layout; }
    QTextLine &Line() { return m_line; }

private:
    QTextLayout m_layout;
    QTextLine m_line;
};
} // namespace

bool IsPlain(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return IsPlainUnit(c.unicode()); });
}

std::vector<char> ClusterStarts(QStringView text)
{
    std::vector<char> starts(size_t(text.size()), 0);
    if (text.isEmpty())
        return starts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    for (qsizetype at = 0; at >= 0 && at < text.size(); at = finder.toNextBoundary())
        starts[size_t(at)] = 1;
    return starts;
}

bool FirstStrongRightToLeft(QStringView text, bool &found)
{
    found = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const QChar::Direction d = QChar::direction(c);
        if (d == QChar::DirL || d == QChar::DirR || d == QChar::DirAL) {
            found = true;
            return d != QChar::DirL;
        }
    }
    return false;
}

TShaper::TShaper(const QFont &font, QPaintDevice *device, qreal xScale)
    : m_font(font), m_device(device), m_xScale(xScale)
{ }

qreal TShaper::Width(QStringView text, bool rightToLeft) const
{
    if (text.isEmpty())
        return 0;
    TLineLayout layout(text, m_font, m_device, rightToLeft);
    return layout.Line().isValid() ? layout.Line().horizontalAdvance() * m_xScale : 0;
}

int TShaper::FontIndex(const QRawFont &font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font)
            return int(i);
    m_fonts.push_back(font);
    return int(m_fonts.size()) - 1;
}

TShapedLine TShaper::Shape(QStringView line, bool rightToLeft, bool withGlyphs)
{
    TShapedLine shaped;
    if (line.isEmpty())
        return shaped;
    TLineLayout layout(line, m_font, m_device, rightToLeft);
    QTextLine &textLine = layout.Line();
    if (!textLine.isValid())
        return shaped;
    shaped.Width = textLine.horizontalAdvance() * m_xScale;
    const std::vector<char> starts = ClusterStarts(line);
    // A glyph shared by two clusters (a ligature) belongs to the first.
    std::set<std::tuple<int, quint32, qint64, qint64>> drawn;
    for (qsizetype start = 0; start < line.size();) {
        qsizetype end = start + 1;
        while (end < line.size() && !starts[size_t(end)])
            ++end;
        TCluster cluster;
        cluster.Start = start;
        cluster.Length = end - start;
        const QChar::Direction d = line[start].direction();
        qreal left = kUnbounded;
        qreal right = -kUnbounded;
        struct TPlaced
        {
            quint32 Index;
            int Font;
            QPointF At;
        };
        std::vector<TPlaced> placed;
        for (const QGlyphRun &run : textLine.glyphRuns(int(start), int(end - start))) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
            const int font = withGlyphs ? FontIndex(raw) : 0;
            for (qsizetype g = 0; g < indexes.size(); ++g) {
                const QPointF at = positions[g];
                left = std::min(left, at.x());
                right = std::max(right, at.x() + advances.value(g).x());
                cluster.RightToLeft = run.isRightToLeft();
                if (withGlyphs)
                    placed.push_back({indexes[g], font, at});
            }
        }
        if (left > right) {
            // Nothing drawn (a ligature's second half): a caret's width at its place.
            left = right = textLine.cursorToX(int(start));
            cluster.RightToLeft = d == QChar::DirR || d == QChar::DirAL;
        }
        cluster.Left = left * m_xScale;
        cluster.Width = (right - left) * m_xScale;
        for (const TPlaced &p : placed) {
            const auto key = std::make_tuple(p.Font, p.Index, qRound64(p.At.x() * 64),
                                             qRound64(p.At.y() * 64));
            if (!drawn.insert(key).second)
                continue;
            cluster.Glyphs.push_back(
                {p.Index, p.Font,
                 QPointF((p.At.x() - left) * m_xScale, p.At.y() - textLine.ascent())});
        }
        shaped.Clusters.push_back(std::move(cluster));
        start = end;
    }
    return shaped;
}

int TShaper::VisualNeighbour(QStringView line, bool rightToLeft, int pos, bool right) const
{
    TLineLayout layout(line, m_font, m_device, rightToLeft);
    return right ? layout.Layout().rightCursorPosition(pos)
                 : layout.Layout().leftCursorPosition(pos);
}

namespace {
QtMessageHandler g_previousHandler = nullptr;

void DropMissingScriptWarnings(QtMsgType type, const QMessageLogContext &context,
                               const QString &message)
{
    // Qt indents this one message.
    if (type == QtWarningMsg && qstrcmp(context.category, "default") == 0
        && QStringView(message).trimmed().startsWith(u"OpenType support missing for "))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

void FilterMissingScriptWarnings()
{
    static const bool installed = [] {
        g_previousHandler = qInstallMessageHandler(DropMissingScriptWarnings);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace WYSIWYGShaping
