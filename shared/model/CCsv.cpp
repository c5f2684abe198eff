#include "CCsv.h"

#include <QStringDecoder>

namespace {
// Walks the text once; a field's quotes are known from its first character.
class TCsvParser
{
public:
    explicit TCsvParser(const QString &text) : m_text(text) { }

    bool Parse(QList<TCsvRecord> &records, QString &error)
    {
        while (m_at < m_text.size()) {
            TCsvRecord record;
            record.Line = m_line;
            bool quotedAny = false;
            for (;;) {
                QString field;
                bool quoted = false;
                if (!ReadField(field, quoted, error))
                    return false;
                quotedAny = quotedAny || quoted;
                record.Fields << field;
                if (AtEnd() || !IsSeparator(Current()))
                    break;
                ++m_at;
            }
            const bool blank
                = record.Fields.size() == 1 && record.Fields.first().isEmpty() && !quotedAny;
            if (!blank)
                records << record;
            SkipLineBreak();
        }
        return true;
    }

private:
    bool AtEnd() const { return m_at >= m_text.size(); }
    QChar Current() const { return m_text.at(m_at); }
    static bool IsSeparator(QChar c) { return c == u','; }
    static bool IsLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }

    void SkipLineBreak()
    {
        if (AtEnd())
            return;
        if (Current() == u'\r' && m_at + 1 < m_text.size() && m_text.at(m_at + 1) == u'\n')
            ++m_at;
        ++m_at;
        ++m_line;
    }

    bool ReadField(QString &field, bool &quoted, QString &error)
    {
        if (AtEnd() || Current() != u'"') {
            const qsizetype start = m_at;
            while (!AtEnd() && !IsSeparator(Current()) && !IsLineBreak(Current())) {
                if (Current() == u'"') {
                    error = QStringLiteral("line %1: a double quote inside a field that does not "
                                           "start with one; quote the whole field and double the "
                                           "quote (\"\")")
                                .arg(m_line);
                    return false;
                }
                ++m_at;
            }
            field = m_text.mid(start, m_at - start);
            return true;
        }
        quoted = true;
        const int opened = m_line;
        ++m_at;
        for (;;) {
            if (AtEnd()) {
                error = QStringLiteral("line %1: a quoted field is never closed").arg(opened);
                return false;
            }
            const QChar c = Current();
            ++m_at;
            if (c == u'"') {
                if (!AtEnd() && Current() == u'"') {
                    field += u'"';
                    ++m_at;
                    continue;
                }
                break;
            }
            if (c == u'\n' || (c == u'\r' && (AtEnd() || Current() != u'\n')))
                ++m_line;
            field += c;
        }
        if (!AtEnd() && !IsSeparator(Current()) && !IsLineBreak(Current())) {
            error = QStringLiteral("line %1: text after the closing quote of a field").arg(m_line);
            return false;
        }
        return true;
    }

    const QString &m_text;
    qsizetype m_at = 0;
    int m_line = 1;
};
} // namespace

bool ReadCsv(const QByteArray &bytes, QList<TCsvRecord> &records, QString &error)
{
    records.clear();
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError()) {
        // No byte of a UTF-8 sequence is a line feed, so lines can be checked one by one.
        const QList<QByteArray> lines = data.split('\n');
        int line = 1;
        for (; line <= lines.size(); ++line) {
            QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = probe.decode(lines.at(line - 1));
            if (probe.hasError())
                break;
        }
        error = QStringLiteral("line %1: the text is not UTF-8").arg(line);
        return false;
    }
    TCsvParser parser(text);
    if (!parser.Parse(records, error)) {
        records.clear();
        return false;
    }
    return true;
}

QString CsvField(const QString &value)
{
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\r')
        || value.contains(u'\n') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quote)
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString CsvRecord(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &field : fields)
        out << CsvField(field);
    return out.join(u',') + QStringLiteral("\r\n");
}
