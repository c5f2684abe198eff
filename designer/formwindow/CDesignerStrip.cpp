// The non-visual strip under the pages: a flat button for each element that
// has no place on paper (a PDF view, a hidden field), with its own surface
// designer, so that such elements can be selected, deleted, copied and pasted.

#include "CBasePgCtrl.h"
#include "CComponentStream.h"
#include "CDesignerMainForm.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

#include <QFile>
#include <QFrame>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
constexpr int kPdfViewKind = 100;
constexpr int kHiddenFieldKind = 220;
// The strip's buttons: n-th at left 33 n + 2, top 2, 31 x 30; the strip 34 high.
constexpr int kButtonStep = 33;
constexpr int kButtonWidth = 31;
constexpr int kButtonHeight = 30;
constexpr int kStripHeight = 34;
// Where an element pasted onto the strip stands on its page, out of sight.
constexpr int kPastedSide = 32;

bool IsNonVisual(const QObject *object)
{
    return qobject_cast<const TBasePgCtrl *>(object)
        && !qobject_cast<const TVisualPgCtrl *>(object);
}
} // namespace

void TDesignerMainForm::SetUpStrip()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("ProjectPanel"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(takeCentralWidget(), 1);

    m_stripPanel = new QWidget(panel);
    m_stripPanel->setObjectName(QStringLiteral("NVCtrlsPanel"));
    auto *strip = new QVBoxLayout(m_stripPanel);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(0);
    auto *bevel = new QFrame(m_stripPanel);
    bevel->setObjectName(QStringLiteral("NVCtrlsBevel"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    strip->addWidget(bevel);
    m_stripScroll = new QScrollArea(m_stripPanel);
    m_stripScroll->setObjectName(QStringLiteral("NVCtrlsScrollBox"));
    m_stripScroll->setFrameShape(QFrame::NoFrame);
    m_stripScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stripScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_stripContent = new QWidget;
    m_stripContent->setObjectName(QStringLiteral("NVCtrlsContent"));
    // The content fills the strip and scrolls only when the buttons need more room.
    m_stripScroll->setWidgetResizable(true);
    m_stripScroll->setWidget(m_stripContent);
    m_stripScroll->setFixedHeight(kStripHeight);
    // The strip grows by the scroll bar's height while one is shown.
    connect(m_stripScroll->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this](int, int max) {
                m_stripScroll->setFixedHeight(
                    kStripHeight
                    + (max > 0 ? m_stripScroll->horizontalScrollBar()->sizeHint().height() : 0));
            });
    strip->addWidget(m_stripScroll);
    column->addWidget(m_stripPanel);
    m_stripPanel->hide();
    setCentralWidget(panel);

    m_designer2.reset(CreateComponent<TSurfaceDesigner>(nullptr));
    TSurfaceDesigner &d = *m_designer2;
    d.SetName(QStringLiteral("SurfaceDesigner2"));
    d.SetGrabbers(CSURFACEDESIGNER_CORNER_GRABBERS);
    d.SetGrabbersOfs(0);
    d.SetGrabbersSize(5);
    d.SetGroupGrabbers(CSURFACEDESIGNER_CORNER_GRABBERS);
    d.SetGroupGrabbersOfs(0);
    d.SetGroupGrabbersColor(clBlack);
    d.SetGroupGrabbersFillColor(TColor::FromRGB(128, 128, 128));
    d.SetGroupResize(false);
    d.SetRoundGrabbers(false);
    d.SetSurface(m_stripContent);
    d.OnCanSelect = [this](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = ElementOfButton(ctrl) != nullptr;
    };
    d.OnCanMove = [](TCustomSurfaceDesigner *, QWidget *, bool &allow) {
        allow = false;
    };
    d.OnCanResize = d.OnCanMove;
    d.OnCanDelete = [this](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = false;
        RemoveElement(ElementOfButton(ctrl), !Replaying());
        GlobalMadeChange();
    };
    d.OnBeforeCtrlsDeleted = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &buttons) {
        QList<QWidget *> elements;
        for (QWidget *button : buttons)
            if (TBasePgCtrl *element = ElementOfButton(button))
                elements.append(element);
        BeforeCtrlsDeleted(elements);
    };
    d.OnDblClick = [this](TCustomSurfaceDesigner *) {
        OpenEditDialog();
    };
    d.OnCtrlPaste = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
        StripPasted(ctrls);
    };
    d.OnGetCtrlDesignerHint = [this](TCustomSurfaceDesigner *, QWidget *ctrl, QString &hint) {
        if (TBasePgCtrl *element = ElementOfButton(ctrl))
            hint = StripHint(element);
    };
    FollowSelection(d);
    // The designer last entered takes the edit commands; the other lets go of its selection.
    d.OnEnter = [this](TCustomSurfaceDesigner *) {
        m_stripCurrent = true;
        if (m_designer1)
            m_designer1->UnSelectAll();
        EditStateChanged(nullptr);
    };
    m_designer1->OnEnter = [this](TCustomSurfaceDesigner *) {
        m_stripCurrent = false;
        if (m_designer2)
            m_designer2->UnSelectAll();
        EditStateChanged(nullptr);
    };
}

TSurfaceDesigner *TDesignerMainForm::CurrentDesigner() const
{
    return m_stripCurrent && m_designer2 && m_designer2->Active() ? m_designer2.get()
                                                                  : m_designer1.get();
}

QString TDesignerMainForm::StripHint(TBasePgCtrl *element) const
{
    if (element->ClassTypeID() == kPdfViewKind) {
        QString name;
        SendMessage(element, VRMSGGetPDFName, 0, reinterpret_cast<std::intptr_t>(&name));
        return (name.isEmpty() ? QStringLiteral("PDF not specified.") : name)
            + QStringLiteral(" - ") + element->Name();
    }
    if (element->ClassTypeID() == kHiddenFieldKind && !element->Text().isEmpty())
        return element->Text() + QStringLiteral(" - ") + element->Name();
    return element->Name();
}

TBasePgCtrl *TDesignerMainForm::ElementOfButton(const QWidget *button) const
{
    for (const TStripButton &entry : m_strip)
        if (entry.Button == button)
            return qobject_cast<TBasePgCtrl *>(entry.Element.data());
    return nullptr;
}

QWidget *TDesignerMainForm::StripButtonOf(const QObject *element) const
{
    for (const TStripButton &entry : m_strip)
        if (entry.Element == element)
            return entry.Button;
    return nullptr;
}

void TDesignerMainForm::AddStripButton(TBasePgCtrl *element)
{
    if (!m_stripContent || !element || StripButtonOf(element))
        return;
    auto *button = new TSimNonVisualPgCtrl(nullptr, element->ClassTypeID());
    button->setParent(m_stripContent);
    button->setObjectName(QStringLiteral("Strip") + element->Name());
    button->setAutoRaise(true);
    button->setLayoutDirection(Qt::RightToLeft);
    const QPixmap *glyph = GlobalPlugIns
        ? GlobalPlugIns->PlugInPaletteToolBarImage(element->ClassTypeID(), true)
        : nullptr;
    if (glyph && !glyph->isNull()) {
        button->setIcon(QIcon(*glyph));
        button->setIconSize(glyph->size());
    } else {
        button->setText(element->Name().left(3));
    }
    button->setToolTip(StripHint(element));
    button->show();
    m_strip.append({button, element});
    LayoutStrip();
}

void TDesignerMainForm::RemoveStripButton(const QObject *element)
{
    for (qsizetype i = 0; i < m_strip.size(); ++i) {
        if (m_strip.at(i).Element != element)
            continue;
        QWidget *button = m_strip.at(i).Button;
        m_strip.removeAt(i);
        if (button) {
            if (m_designer2)
                m_designer2->Engine()->RemoveFromSelection(button);
            // The designer may be walking its selection: the button goes once it is done.
            button->hide();
            button->deleteLater();
        }
        break;
    }
    LayoutStrip();
}

void TDesignerMainForm::FillStrip()
{
    while (!m_strip.isEmpty())
        RemoveStripButton(m_strip.back().Element);
    TPageControl *pages = PagesPageControl();
    for (int i = 0; pages && i < pages->PageCount(); ++i)
        if (TPrinterPage *page = GlobalPgScrollBox(i))
            for (QObject *child : page->children())
                if (IsNonVisual(child))
                    AddStripButton(static_cast<TBasePgCtrl *>(child));
    LayoutStrip();
}

void TDesignerMainForm::LayoutStrip()
{
    if (!m_stripPanel)
        return;
    // Buttons whose element went by other means go too.
    for (qsizetype i = m_strip.size() - 1; i >= 0; --i)
        if (!m_strip.at(i).Element || !m_strip.at(i).Button) {
            if (QWidget *button = m_strip.at(i).Button)
                button->deleteLater();
            m_strip.removeAt(i);
        }
    for (qsizetype i = 0; i < m_strip.size(); ++i)
        m_strip.at(i).Button->setGeometry(int(i) * kButtonStep + 2, 2, kButtonWidth, kButtonHeight);
    m_stripContent->setMinimumSize(int(m_strip.size()) * kButtonStep + 2, kStripHeight);
    const bool shown = DesignMode() && !m_strip.isEmpty();
    m_stripPanel->setVisible(shown);
    if (m_designer2 && m_designer2->Active() != shown) {
        if (!shown)
            m_designer2->UnSelectAll();
        m_designer2->SetActive(shown);
    }
    if (!shown)
        m_stripCurrent = false;
}

void TDesignerMainForm::StripCommand(int command)
{
    TSurfaceDesigner &d = *m_designer2;
    const QString clipboard = GlobalAppNonVisualClipboardFile();
    const auto copy = [&](TMemoryStream &stream) {
        for (QWidget *button : d.Engine()->SelectedCtrls())
            if (TBasePgCtrl *element = ElementOfButton(button))
                WriteComponent(stream, element);
    };
    const auto save = [&](const TMemoryStream &stream) {
        QSaveFile file(clipboard);
        if (file.open(QIODevice::WriteOnly) && file.write(stream.Data()) == stream.Size()
            && file.commit())
            return true;
        Global_MessageDlg(GlobalAppTitle(),
                          QStringLiteral("The clipboard file %1 could not be written: %2")
                              .arg(clipboard, file.errorString()),
                          mtError, mbOK, 0);
        return false;
    };
    switch (command) {
    case ecCut:
    case ecCopy: {
        TMemoryStream stream;
        copy(stream);
        // Nothing is deleted unless the copy is safely stored first.
        if (save(stream) && command == ecCut)
            d.Delete(nullptr);
        break;
    }
    case ecPaste: {
        d.UnSelectAll();
        const TGlobalFlagScope pasting(GlobalPasting);
        d.Engine()->Paste(true, clipboard);
        break;
    }
    case ecDelete:
        d.Delete(nullptr);
        break;
    case ecSelectAll:
        d.SelectAll();
        break;
    case ecDuplicate: {
        TMemoryStream stream;
        copy(stream);
        stream.SetPosition(0);
        d.UnSelectAll();
        const TGlobalFlagScope pasting(GlobalPasting);
        d.Engine()->Paste(false, QString(), &stream);
        break;
    }
    default:
        break;
    }
    EditStateChanged(nullptr);
}

void TDesignerMainForm::StripPasted(const QList<QWidget *> &ctrls)
{
    TPrinterPage *page = ActivePage();
    if (!page)
        return;
    QList<TBasePgCtrl *> placed;
    for (QWidget *ctrl : ctrls) {
        auto *element = qobject_cast<TBasePgCtrl *>(ctrl);
        if (!element)
            continue;
        AdoptPasted(element);
        element->setGeometry(page->PaperRect().left(), page->PaperRect().top(), kPastedSide,
                             kPastedSide);
        element->setParent(page);
        if (qobject_cast<TVisualPgCtrl *>(element))
            element->show();
        else
            AddStripButton(element);
        placed.append(element);
    }
    if (placed.isEmpty())
        return;
    RecordElements(idCtrlAdded, QList<QWidget *>(placed.begin(), placed.end()));
    GlobalMadeChange();
    for (qsizetype i = 0; i < placed.size(); ++i)
        if (QWidget *button = StripButtonOf(placed.at(i)))
            m_designer2->SelectCtrl(button, i > 0);
}

void TDesignerMainForm::NonVisualGoing(QObject *element)
{
    RemoveStripButton(element);
    if (GlobalProjectProps)
        GlobalProjectProps->DestroyingNVCtrl(element);
}

void TDesignerMainForm::GatherNonVisualElements()
{
    // They belong to the document, not to a page: they stay with the page shown.
    TPrinterPage *active = ActivePage();
    TPageControl *pages = PagesPageControl();
    if (!active || !pages)
        return;
    for (int i = 0; i < pages->PageCount(); ++i) {
        TPrinterPage *page = GlobalPgScrollBox(i);
        if (!page || page == active)
            continue;
        const QObjectList children = page->children();
        for (QObject *child : children)
            if (IsNonVisual(child))
                static_cast<QWidget *>(child)->setParent(active);
    }
}
