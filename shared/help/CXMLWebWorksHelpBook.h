#pragma once
// The topic map of the help book as typed data: the whole file is read, though
// opening help needs only its topic map.

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

struct TXMLWebWorksHelpBookMeta
{
    QString Name;
    int Weight = 0;
};

struct TXMLWebWorksHelpBookScoringPrefs
{
    QList<TXMLWebWorksHelpBookMeta> Meta;
    // The weights of the page parts, 0 when the file gives none.
    int Title = 0;
    int Caption = 0;
    int Th = 0;
    // h1 to h7.
    int Heading[7] = {};
};

struct TXMLWebWorksHelpBookLink
{
    // Topics have a name, documents a title; both an address relative to the book.
    QString Name;
    QString Href;
};

class TXMLWebWorksHelpBookType
{
public:
    QString Version;
    QString Name;
    QString Context;
    QString Locale;
    int CommonWordsMinLen = 0;
    TXMLWebWorksHelpBookScoringPrefs ScoringPrefs;
    QList<TXMLWebWorksHelpBookLink> Documents;
    QList<TXMLWebWorksHelpBookLink> TopicMap;

    // The first topic of the name, case ignored; null when there is none.
    const TXMLWebWorksHelpBookLink *FindTopic(const QString &name) const;
    // The book as a file of its format.
    QByteArray ToXml() const;
};

// The book in an XML text; null (and the reason in error) when the text is not one.
std::unique_ptr<TXMLWebWorksHelpBookType> GetWebWorksHelpBook(const QByteArray &xml,
                                                              QString *error = nullptr);
// The book in a file; null when the file is missing, unreadable or damaged.
std::unique_ptr<TXMLWebWorksHelpBookType> LoadWebWorksHelpBook(const QString &fileName,
                                                               QString *error = nullptr);
// An empty book, to be filled and written.
std::unique_ptr<TXMLWebWorksHelpBookType> NewWebWorksHelpBook();
