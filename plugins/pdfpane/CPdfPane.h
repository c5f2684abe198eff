#pragma once
// The PDF view: a form element without a body that keeps a whole PDF file
// inside the document and paints its pages when a page background asks.

#include "CBasePgCtrl.h"
#include "CPdfRenderer.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

struct TPaintPDFPageRequest;

class TPdfPane : public TNonVisualPgCtrl
{
    Q_OBJECT
    // The file's bytes as an 8-bit string, each byte one character; before the
    // name, so that a document brings the content before the name.
    Q_PROPERTY(QString PDF READ PDFText WRITE SetPDFText)
    Q_PROPERTY(QString PDFName READ PDFName WRITE SetPDFName)

public:
    static constexpr int Kind = 100;
    // What the quick-draw cache may hold at most, in bytes.
    static constexpr qsizetype QuickDrawBudget = qsizetype(128) << 20;

    explicit TPdfPane(TComponent *owner);
    ~TPdfPane() override;

    QByteArray PDF() const { return m_pdf; }
    QString PDFText() const;
    // Only a document being read sets it this way.
    void SetPDFText(const QString &text);
    QString PDFName() const { return m_name; }
    // Reads the file into the document; a file that is missing or cannot be
    // shown is reported and the previous name and content stay.
    void SetPDFName(const QString &path);

    const TPdfRenderer &Renderer() const { return m_renderer; }
    int QuickDrawEntries() const { return int(m_cache.size()); }
    // Forgets the quick-draw images, so that the next paints render anew.
    void DropQuickDraw() { m_cache.clear(); }

    int ClassTypeID() const override { return Kind; }
    bool ShowOnPlugInPalette() const override { return false; }
    void AddRemovePropHelperInf(TPropHelper *helper) override;
    int HlpCtx(const QString &propertyName) override;
    void RegisterPropertyEditors() override;
    bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value) override;
    void Dispatch(TMessage &message) override;

private:
    struct TCacheEntry
    {
        int Page;
        QImage Image;
    };

    void PaintPage(const TPaintPDFPageRequest &request);
    void DrawQuick(QPainter &canvas, int page, const QRect &rect);
    void DrawDirect(QPainter &canvas, int page, const QRect &rect);
    // Page width in the low 16 bits and height in the high ones, in points; 0 when unknown.
    std::intptr_t PageSizeAnswer(int page) const;
    void ReportFile(const QString &path, const char *what, const QString &reason = QString()) const;

    QByteArray m_pdf;
    QString m_name;
    TPdfRenderer m_renderer;
    // Most recently used first.
    QList<TCacheEntry> m_cache;
};
