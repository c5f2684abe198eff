#pragma once
// The project: the ordered list of page settings and the filling flag. Page i
// of the project is tab sheet i of the page control and entry i of the list.

#include "CComponent.h"
#include "CComponentStream.h"
#include "CMessages.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CVeloraTypes.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class TProjectPropsPageProps;
class TPropHelper;

inline constexpr const char *SPageFileMessage = "The specified file '%1' could not be %2.";

// The PDF page a page background shows; follows the PDF view element it names.
class TProjectPropsPagePropsPropGroupPDF : public TPropGroupPDF
{
    Q_OBJECT
public:
    TProjectPropsPagePropsPropGroupPDF(TProjectPropsPageProps *page, QObject *parent);

protected:
    void PropertyChanged(int code) override;

private:
    TProjectPropsPageProps *m_page;
};

// A page colour; its changes repaint the page rather than an element.
class TProjectPropsPagePropsPropGroupFill : public TPropGroupFill
{
    Q_OBJECT
    Q_CLASSINFO("Default:FillTransparent", "false")
public:
    explicit TProjectPropsPagePropsPropGroupFill(TProjectPropsPageProps *page);

protected:
    void PropertyChanged(int code) override;

private:
    TProjectPropsPageProps *m_page;
};

class TProjectPropsPagePropsPropGroupBackground : public TPropGroup, public TCustomStreaming
{
    Q_OBJECT
    // The image file's own bytes, so the document does not depend on the file;
    // streamed as "FileNameImage.Data" (the picture's class name, then its data).
    Q_PROPERTY(QByteArray FileNameImage READ FileNameImage WRITE SetFileNameImage STORED false)
    Q_PROPERTY(bool PageDisplay READ PageDisplay WRITE SetPageDisplay)
    Q_CLASSINFO("Default:PageDisplay", "true")
    Q_PROPERTY(QString PageFileName READ PageFileName WRITE SetPageFileName)
    Q_PROPERTY(VeloraEnums::TPageFitTo PageFitTo READ PageFitTo WRITE SetPageFitTo)
    Q_CLASSINFO("Default:PageFitTo", "ftFullPage")
    Q_PROPERTY(TPropGroupPDF *PagePDFProps READ PagePDFProps)
    Q_PROPERTY(bool PageProportional READ PageProportional WRITE SetPageProportional)
    Q_CLASSINFO("Default:PageProportional", "true")
    Q_PROPERTY(bool PagePublish READ PagePublish WRITE SetPagePublish)
    Q_CLASSINFO("Default:PagePublish", "true")

public:
    explicit TProjectPropsPagePropsPropGroupBackground(TProjectPropsPageProps *page);

    QByteArray FileNameImage() const { return m_imageData; }
    // Bytes that Qt cannot read leave an empty picture.
    void SetFileNameImage(const QByteArray &data);
    const QImage &Picture() const { return m_picture; }
    virtual void ClearPicture();

    bool PageDisplay() const { return m_display; }
    void SetPageDisplay(bool value);
    QString PageFileName() const { return m_fileName; }
    void SetPageFileName(const QString &name);
    // Takes the name as it is: the PDF group's link gives it.
    void AssignFileName(const QString &name) { m_fileName = name; }
    TPageFitTo PageFitTo() const { return m_fitTo; }
    void SetPageFitTo(TPageFitTo value);
    TPropGroupPDF *PagePDFProps() const { return m_pdf; }
    bool PageProportional() const { return m_proportional; }
    void SetPageProportional(bool value);
    bool PagePublish() const { return m_publish; }
    void SetPagePublish(bool value) { Change(m_publish, value, 7); }

    // A file name is being applied; the PDF group leaves the name alone then.
    bool Busy() const { return m_busy; }

    int HlpCtx(const QString &name) const override;
    void DefineProperties(TFiler &filer) override;

    // The stored form of a picture: its class name as a short string, then its data.
    static QByteArray PictureData(const QByteArray &imageBytes);
    static QByteArray ImageBytes(const QByteArray &pictureData);

private:
    void RepaintPage() const;
    // Loads the picture from a file; false (with the reason) when it cannot be read.
    bool LoadPicture(const QString &fileName);

    TProjectPropsPageProps *m_page;
    QByteArray m_imageData;
    QImage m_picture;
    bool m_display = true;
    QString m_fileName;
    TPageFitTo m_fitTo = ftFullPage;
    TProjectPropsPagePropsPropGroupPDF *m_pdf;
    bool m_proportional = true;
    bool m_publish = true;
    bool m_busy = false;
};

class TProjectPropsPageProps : public QObject, public TComponent, public TMessageTarget
{
    Q_OBJECT
    Q_PROPERTY(
        TProjectPropsPagePropsPropGroupBackground *PageBackgroundProps READ PageBackgroundProps)
    Q_PROPERTY(QString PageDefaultFocus READ PageDefaultFocus WRITE SetPageDefaultFocus)
    Q_PROPERTY(
        VeloraEnums::TPageDefaultView PageDefaultView READ PageDefaultView WRITE SetPageDefaultView)
    Q_CLASSINFO("Default:PageDefaultView", "dvDesigned")
    Q_PROPERTY(TPropGroupFill *PageFillProps READ PageFillProps)
    Q_PROPERTY(TPropGroupMargins *PageMarginProps READ PageMarginProps)
    Q_PROPERTY(TPropGroupPaper *PagePaperProps READ PagePaperProps)
    Q_PROPERTY(bool PagePublishPage READ PagePublishPage WRITE SetPagePublishPage)
    Q_CLASSINFO("Default:PagePublishPage", "true")

public:
    explicit TProjectPropsPageProps(TComponent *owner = nullptr);
    ~TProjectPropsPageProps() override;

    TProjectPropsPagePropsPropGroupBackground *PageBackgroundProps() const { return m_background; }
    QString PageDefaultFocus() const { return m_defaultFocus; }
    void SetPageDefaultFocus(const QString &name);
    TPageDefaultView PageDefaultView() const { return m_defaultView; }
    // Stored without a report: the filler sets it as the user zooms.
    void SetPageDefaultView(TPageDefaultView view) { m_defaultView = view; }
    TPropGroupFill *PageFillProps() const { return m_fill; }
    TPropGroupMargins *PageMarginProps() const { return m_margins; }
    TPropGroupPaper *PagePaperProps() const { return m_paper; }
    bool PagePublishPage() const { return m_publishPage; }
    void SetPagePublishPage(bool value);

    TPropHelper *PropHelper() const { return m_propHelper; }
    virtual void AddRemovePropHelperInf(TPropHelper *helper);
    virtual int HlpCtx(const QString &propertyName);
    // The page's double-click editor: only the background file. False when cancelled.
    virtual bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value);

    // Index of this page in the project, -1 when it is not in the list.
    int PageIndex() const;
    // The page's view and sheet, or null.
    TPrinterPage *PageView() const;
    void RepaintPage() const;

    void Dispatch(TMessage &message) override;

private:
    TProjectPropsPagePropsPropGroupBackground *m_background;
    QString m_defaultFocus;
    TPageDefaultView m_defaultView = dvDesigned;
    TProjectPropsPagePropsPropGroupFill *m_fill;
    TPropGroupMargins *m_margins;
    TPropGroupPaper *m_paper;
    bool m_publishPage = true;
    TPropHelper *m_propHelper;
};

class TProjectProps : public QObject, public TComponent
{
    Q_OBJECT
    Q_PROPERTY(bool Filling READ Filling WRITE SetFilling)
    Q_CLASSINFO("Default:Filling", "false")
    Q_PROPERTY(int PageCount READ PageCount WRITE SetPageCount)
    Q_CLASSINFO("Default:PageCount", "0")

public:
    explicit TProjectProps(TComponent *owner = nullptr);
    ~TProjectProps() override;

    // Always true in the filler.
    bool Filling() const;
    void SetFilling(bool filling);
    int PageCount() const { return int(m_pages.size()); }
    const QList<TProjectPropsPageProps *> &PageProps() const { return m_pages; }
    TProjectPropsPageProps *Page(int index) const { return m_pages.value(index); }

    // Appends the entry (or a new one) and returns its index; the project owns it.
    int AddPage(TProjectPropsPageProps *page = nullptr);
    void InsertPage(int index, TProjectPropsPageProps *page);
    // Takes the entry out; frees it when asked, otherwise the caller owns it.
    void RemovePage(int index, bool free);
    void Clear();
    bool Using(const TProjectPropsPageProps *page) const { return m_pages.contains(page); }
    void ClonePgProps(int sourceIndex, TProjectPropsPageProps *destination) const;
    // A PDF view element is going: pages showing it lose their link.
    void DestroyingNVCtrl(const QObject *element);
    // A PDF view element was renamed: pages showing it follow the new name.
    void RenamedNVCtrl(const QString &oldName, const QString &newName);

    virtual void RegisterPropertyEditors() { }

    // The count a stream gave; the reader then reads that many page settings.
    int StreamedPageCount() const { return m_streamedPageCount; }

private:
    void SetPageCount(int count) { m_streamedPageCount = qMax(0, count); }

    bool m_filling = false;
    int m_streamedPageCount = 0;
    QList<TProjectPropsPageProps *> m_pages;
};

// The sheet of a project page: its colour, background picture or PDF page, margins.
class TProjectPagePaintBox : public TPrinterPagePaintBox
{
    Q_OBJECT
public:
    explicit TProjectPagePaintBox(TPrinterPage *page);

    // Draws page pageIndex's fill and background into the sheet rectangle.
    static void PaintBackground(QPainter &canvas, const QRect &sheet, const QRect &margins,
                                int pageIndex, bool onScreen);

protected:
    void PaintSheet(QPainter &canvas) override;
};

// Page index of the page view, -1 when it is not a page of the document.
int GlobalPageIndexOf(const QWidget *pageView);
