#include "CPdfRenderer.h"

#include <QPainter>
#include <poppler-qt6.h>

namespace {
// The end-of-file mark stands within the last kilobyte of a whole file.
bool HasEndMark(const QByteArray &data)
{
    return data.right(1024).contains("%%EOF");
}

void PrepareForPixels(Poppler::Document &document)
{
    document.setRenderBackend(Poppler::Document::SplashBackend);
    document.setRenderHint(Poppler::Document::Antialiasing);
    document.setRenderHint(Poppler::Document::TextAntialiasing);
}
} // namespace

TPdfRenderer::TPdfRenderer() = default;
TPdfRenderer::~TPdfRenderer() = default;

bool TPdfRenderer::LoadData(const QByteArray &data, QString *reason)
{
    const auto fail = [reason](const char *why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return false;
    };
    if (data.isEmpty())
        return fail("the file is empty");
    if (!data.startsWith("%PDF-") && !data.left(1024).contains("%PDF-"))
        return fail("it is not a PDF document");
    // The parser rebuilds what it can of a file cut short, silently showing
    // less than there was.
    if (!HasEndMark(data))
        return fail("the file is cut short");
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(data);
    if (!document)
        return fail("the document is damaged");
    if (document->isLocked())
        return fail("the document is protected by a password");
    const int count = document->numPages();
    if (count <= 0)
        return fail("the document has no pages");
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page || page->pageSizeF().isEmpty())
            return fail("a page of the document is damaged");
    }
    PrepareForPixels(*document);
    m_document = std::move(document);
    m_pageCount = count;
    return true;
}

void TPdfRenderer::Clear()
{
    m_document.reset();
    m_pageCount = 0;
}

QSizeF TPdfRenderer::PageSize(int page) const
{
    if (!m_document || page < 1 || page > m_pageCount)
        return {};
    const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
    return p ? p->pageSizeF() : QSizeF();
}

QImage TPdfRenderer::Render(int page, const QSize &size, const QRect &part) const
{
    const QSizeF points = PageSize(page);
    if (points.isEmpty() || size.isEmpty())
        return {};
    const QRect area = part.isNull() ? QRect(QPoint(0, 0), size) : part;
    if (area.isEmpty())
        return {};
    const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
    ++m_renderCount;
    return p->renderToImage(72.0 * size.width() / points.width(),
                            72.0 * size.height() / points.height(), area.x(), area.y(),
                            area.width(), area.height());
}

bool TPdfRenderer::PaintVectors(QPainter &painter, int page, const QRect &rect) const
{
    const QSizeF points = PageSize(page);
    if (points.isEmpty() || rect.isEmpty())
        return false;
    const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
    m_document->setRenderBackend(Poppler::Document::QPainterBackend);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.translate(rect.topLeft());
    ++m_renderCount;
    const bool painted = p->renderToPainter(&painter, 72.0 * rect.width() / points.width(),
                                            72.0 * rect.height() / points.height(), 0, 0,
                                            rect.width(), rect.height());
    painter.restore();
    m_document->setRenderBackend(Poppler::Document::SplashBackend);
    return painted;
}
