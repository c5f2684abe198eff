#include "CValuesCommand.h"

#include "CCsv.h"
#include "CDocumentCommands.h"
#include "CDocumentFile.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cstdio>
#include <vector>

namespace {
void Print(std::FILE *out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

// The elements of one document in stream order, read from the stored trees
// without making them, so that no plug-in is needed.
struct TDocumentValues
{
    QStringList Names;
    QHash<QString, QString> Values;
    QSet<QString> Passwords;
};

// Elements are the objects a page surface holds; the text a filled element
// keeps is its default text.
class TValuesWalk : public TStreamVisitor
{
public:
    explicit TValuesWalk(TDocumentValues &values) : m_values(values) { }

    void BeginObject(const TStreamObjectHeader &header, int depth) override
    {
        m_classes.resize(size_t(depth));
        m_classes.push_back(header.ClassName);
        const bool element = depth > 0 && m_classes.at(size_t(depth) - 1) == u"TFillerScrollBox"
            && !header.Name.isEmpty();
        if (element) {
            m_element = header.Name;
            m_elementDepth = depth;
            if (!m_values.Values.contains(m_element)) {
                m_values.Names << m_element;
                m_values.Values.insert(m_element, QString());
            }
        }
    }
    void Property(const QString &path, const TStreamValue &value, int depth) override
    {
        if (m_element.isEmpty() || depth != m_elementDepth)
            return;
        if (path == u"VisualGeneralProps.GeneralDefaultText" && value.IsText())
            m_values.Values.insert(m_element, value.Text);
        else if (path == u"VisualGeneralProps.GeneralPassword" && value.Type == vaTrue)
            m_values.Passwords.insert(m_element);
    }
    void EndObject(int depth) override
    {
        if (depth == m_elementDepth) {
            m_element.clear();
            m_elementDepth = -1;
        }
    }

private:
    TDocumentValues &m_values;
    std::vector<QString> m_classes;
    QString m_element;
    int m_elementDepth = -1;
};

int ReadValues(const QString &path, TDocumentValues &values)
{
    if (const QString problem = DocumentSourceProblem(path); !problem.isEmpty()) {
        Print(stderr, QStringLiteral("vldtool: %1 %2\n").arg(path, problem));
        return deUnreadable;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Print(stderr, QStringLiteral("vldtool: %1: %2\n").arg(path, file.errorString()));
        return deUnreadable;
    }
    TMemoryStream stream(file.readAll());
    std::uint32_t version = 0;
    QString error;
    if (!DecryptDocument(stream, version, &error)) {
        Print(stderr, QStringLiteral("%1: %2\n").arg(path, error));
        return error == QLatin1String(SInvalidFileFormat) ? deInvalidFormat : deNotRecognised;
    }
    TValuesWalk walk(values);
    try {
        stream.SetPosition(0);
        while (!stream.AtEnd())
            WalkComponent(stream, walk);
    } catch (const EVeloraError &e) {
        Print(stderr, QStringLiteral("%1: payload: %2\n").arg(path, e.Message()));
        return deReadError;
    }
    return deOk;
}

// Stored line breaks are CR LF; a value comes out with the LF a script expects.
QString Shown(const QString &value)
{
    QString shown = value;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}
} // namespace

int RunValuesCommand(const QStringList &args)
{
    QStringList files = args;
    const bool json = files.removeAll(QStringLiteral("--json")) > 0;
    const bool passwords = files.removeAll(QStringLiteral("--include-passwords")) > 0;
    for (const QString &file : std::as_const(files)) {
        if (file.startsWith(u'-')) {
            Print(stderr, QStringLiteral("vldtool values: unknown option %1\n").arg(file));
            files.clear();
            break;
        }
    }
    if (files.isEmpty()) {
        std::fputs("usage: vldtool values [--json] [--include-passwords] FILE...\n", stderr);
        return deUsage;
    }
    // Every document is read before anything is written: a failure leaves no half table.
    QList<TDocumentValues> documents;
    QStringList header;
    QSet<QString> left;
    for (const QString &path : std::as_const(files)) {
        TDocumentValues values;
        if (const int status = ReadValues(path, values))
            return status;
        for (const QString &name : std::as_const(values.Names))
            if (!header.contains(name))
                header << name;
        if (!passwords)
            left.unite(values.Passwords);
        documents << values;
    }
    for (const QString &name : std::as_const(left))
        header.removeAll(name);

    if (json) {
        QJsonArray rows;
        for (const TDocumentValues &document : std::as_const(documents)) {
            QJsonObject row;
            for (const QString &name : std::as_const(header))
                if (document.Values.contains(name))
                    row.insert(name, Shown(document.Values.value(name)));
            rows.append(row);
        }
        Print(stdout, QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Indented)));
        return deOk;
    }
    QString out = CsvRecord(header);
    for (const TDocumentValues &document : std::as_const(documents)) {
        QStringList fields;
        for (const QString &name : std::as_const(header))
            fields << Shown(document.Values.value(name));
        out += CsvRecord(fields);
    }
    Print(stdout, out);
    return deOk;
}
