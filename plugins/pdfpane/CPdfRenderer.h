#pragma once
// What renders the pages of one PDF document: loads it from its bytes, tells
// the count and sizes of its pages, and draws a page at any size, as pixels or,
// on a printer, as vectors. Pages are numbered from 1.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;

namespace Poppler {
class Document;
}

class TPdfRenderer
{
public:
    TPdfRenderer();
    ~TPdfRenderer();
    TPdfRenderer(const TPdfRenderer &) = delete;
    TPdfRenderer &operator=(const TPdfRenderer &) = delete;

    // False, with the reason and the loaded document kept, when the bytes are
    // not a PDF that can be shown (damaged, cut short, locked by a password).
    bool LoadData(const QByteArray &data, QString *reason = nullptr);
    void Clear();
    bool Loaded() const { return m_document != nullptr; }

    int PageCount() const { return m_pageCount; }
    // In points, turned as the page is shown; empty outside 1 … PageCount.
    QSizeF PageSize(int page) const;

    // The page scaled to size (pixels); of it only part when part is given.
    // A null image when the page cannot be drawn.
    QImage Render(int page, const QSize &size, const QRect &part = QRect()) const;
    // Draws the page into rect as vectors; false when it cannot, and nothing drawn.
    bool PaintVectors(QPainter &painter, int page, const QRect &rect) const;

    // How many pages were rendered or painted, for tests and benchmarks.
    int RenderCount() const { return m_renderCount; }

private:
    std::unique_ptr<Poppler::Document> m_document;
    int m_pageCount = 0;
    mutable int m_renderCount = 0;
};
