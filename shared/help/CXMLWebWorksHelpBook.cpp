#include "CXMLWebWorksHelpBook.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {
const QLatin1String kRoot("WebWorksHelpBook");
// Far above any real book; a larger file is not one of ours.
constexpr qint64 kMaxBookSize = 16 * 1024 * 1024;

int IntAttribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toInt();
}

QString Attribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

void ReadScoringPrefs(QXmlStreamReader &xml, TXMLWebWorksHelpBookScoringPrefs &prefs)
{
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const int weight = IntAttribute(xml, "weight");
        if (name == QLatin1String("meta"))
            prefs.Meta.append({Attribute(xml, "name"), weight});
        else if (name == QLatin1String("title"))
            prefs.Title = weight;
        else if (name == QLatin1String("caption"))
            prefs.Caption = weight;
        else if (name == QLatin1String("th"))
            prefs.Th = weight;
        else if (name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'7')
            prefs.Heading[name[1].unicode() - u'1'] = weight;
        xml.skipCurrentElement();
    }
}

// Children of one element kind, each with a name-like attribute and an address.
void ReadLinks(QXmlStreamReader &xml, const char *child, const char *nameAttribute,
               QList<TXMLWebWorksHelpBookLink> &links)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String(child))
            links.append({Attribute(xml, nameAttribute), Attribute(xml, "href")});
        xml.skipCurrentElement();
    }
}

void WriteWeight(QXmlStreamWriter &xml, const QString &element, int weight)
{
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("weight"), QString::number(weight));
    xml.writeEndElement();
}

void WriteLinks(QXmlStreamWriter &xml, const char *parent, const char *child,
                const char *nameAttribute, const QList<TXMLWebWorksHelpBookLink> &links)
{
    xml.writeStartElement(QLatin1String(parent));
    for (const TXMLWebWorksHelpBookLink &link : links) {
        xml.writeStartElement(QLatin1String(child));
        xml.writeAttribute(QLatin1String(nameAttribute), link.Name);
        xml.writeAttribute(QStringLiteral("href"), link.Href);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}
} // namespace

const TXMLWebWorksHelpBookLink *TXMLWebWorksHelpBookType::FindTopic(const QString &name) const
{
    for (const TXMLWebWorksHelpBookLink &topic : TopicMap)
        if (topic.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &topic;
    return nullptr;
}

QByteArray TXMLWebWorksHelpBookType::ToXml() const
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(kRoot);
    xml.writeAttribute(QStringLiteral("version"), Version);
    xml.writeAttribute(QStringLiteral("name"), Name);
    xml.writeAttribute(QStringLiteral("context"), Context);
    xml.writeAttribute(QStringLiteral("locale"), Locale);
    xml.writeStartElement(QStringLiteral("CommonWordsToSkip"));
    xml.writeAttribute(QStringLiteral("minlen"), QString::number(CommonWordsMinLen));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("ScoringPrefs"));
    for (const TXMLWebWorksHelpBookMeta &meta : ScoringPrefs.Meta) {
        xml.writeStartElement(QStringLiteral("meta"));
        xml.writeAttribute(QStringLiteral("name"), meta.Name);
        xml.writeAttribute(QStringLiteral("weight"), QString::number(meta.Weight));
        xml.writeEndElement();
    }
    WriteWeight(xml, QStringLiteral("title"), ScoringPrefs.Title);
    WriteWeight(xml, QStringLiteral("caption"), ScoringPrefs.Caption);
    WriteWeight(xml, QStringLiteral("th"), ScoringPrefs.Th);
    for (int level = 0; level < 7; ++level)
        WriteWeight(xml, QStringLiteral("h%1").arg(level + 1), ScoringPrefs.Heading[level]);
    xml.writeEndElement();
    WriteLinks(xml, "DocumentInfo", "Document", "title", Documents);
    WriteLinks(xml, "TopicMap", "Topic", "name", TopicMap);
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

std::unique_ptr<TXMLWebWorksHelpBookType> GetWebWorksHelpBook(const QByteArray &text,
                                                              QString *error)
{
    QXmlStreamReader xml(text);
    auto book = std::make_unique<TXMLWebWorksHelpBookType>();
    if (!xml.readNextStartElement() || xml.name() != kRoot) {
        if (error)
            *error = xml.hasError() ? xml.errorString()
                                    : QStringLiteral("The file is not a help book.");
        return nullptr;
    }
    book->Version = Attribute(xml, "version");
    book->Name = Attribute(xml, "name");
    book->Context = Attribute(xml, "context");
    book->Locale = Attribute(xml, "locale");
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("CommonWordsToSkip")) {
            book->CommonWordsMinLen = IntAttribute(xml, "minlen");
            xml.skipCurrentElement();
        } else if (name == QLatin1String("ScoringPrefs")) {
            ReadScoringPrefs(xml, book->ScoringPrefs);
        } else if (name == QLatin1String("DocumentInfo")) {
            ReadLinks(xml, "Document", "title", book->Documents);
        } else if (name == QLatin1String("TopicMap")) {
            ReadLinks(xml, "Topic", "name", book->TopicMap);
        } else {
            xml.skipCurrentElement();
        }
    }
    // A book cut short or broken anywhere is not trusted in part.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("Line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return nullptr;
    }
    return book;
}

std::unique_ptr<TXMLWebWorksHelpBookType> LoadWebWorksHelpBook(const QString &fileName,
                                                               QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return nullptr;
    }
    if (file.size() > kMaxBookSize) {
        if (error)
            *error = QStringLiteral("The file is too large for a help book.");
        return nullptr;
    }
    return GetWebWorksHelpBook(file.readAll(), error);
}

std::unique_ptr<TXMLWebWorksHelpBookType> NewWebWorksHelpBook()
{
    auto book = std::make_unique<TXMLWebWorksHelpBookType>();
    book->Version = QStringLiteral("1.0");
    book->Locale = QStringLiteral("en");
    return book;
}
