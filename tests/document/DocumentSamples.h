#pragma once
// Documents for the document tests: a project with pages, page settings,
// backgrounds, elements of a test kind and export settings, held in the real
// model classes and written or read the way documents are.

#include "CBasePgCtrl.h"
#include "CComponentStream.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "SampleTextBox.h"

#include <QSet>
#include <memory>
#include <ostream>

// The four roots of a document, in the order a payload holds them.
struct TSampleDocument
{
    // pages × elements elements, with values away from their defaults; none for an empty one.
    TSampleDocument(int pages, int elements);
    ~TSampleDocument();

    QByteArray Payload();
    // Reads a payload into this (empty) document as a load does; raises on failure.
    void Read(TMemoryStream &payload);

    TProjectProps Project;
    std::unique_ptr<TPageControl> Pages;
    TProjectInfo Info;
};

QByteArray SampleDocumentPayload();
// Reads a payload into a new empty document: the error, empty when it read.
QString ReadSampleDocument(const QByteArray &payload);
// A hand-made payload for the kind scan: named and unnamed elements of the kind table.
QByteArray SampleScanPayload();
// Every root of a payload as text, without the elements' pixel bounds: a
// page places its elements from their relative bounds once loaded.
QStringList PayloadRoots(const QByteArray &payload);
// The page count the payload's project root records.
int StreamedPageCount(TMemoryStream &payload);

// A registry that has exactly the kinds given.
class TInstalledKinds : public TPlugIns
{
public:
    TInstalledKinds(const QString &emptyFolder, QSet<int> kinds)
        : TPlugIns(emptyFolder), m_kinds(std::move(kinds))
    { }
    bool Installed(int kind) const override { return m_kinds.contains(kind); }

private:
    QSet<int> m_kinds;
};

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
