#include "CGlobal.h"

#include "CAppPaths.h"
#include "CComponent.h"
#include "CDialogService.h"
#include "CGlobalMessages.h"
#include "CMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CStringPropEditForm.h"

#include "CBasePgCtrl.h"
#include "CException.h"
#include "CPropGroups.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool GlobalProjectChanged = false;
bool GlobalLoadingProject = false;
bool GlobalClearingProject = false;
bool GlobalAddingPage = false;
bool GlobalAddingControl = false;
QString GlobalGeneralString;
QWidget *GlobalMainForm = nullptr;
QString GlobalProjectName;
TPageControl *GlobalPagesPageControl = nullptr;
bool GlobalFilling = false;
bool GlobalPasting = false;

QString GlobalAppVisualClipboardFile()
{
    return GlobalAppDataPath + QStringLiteral("Velora/DATA.v");
}

QString GlobalAppNonVisualClipboardFile()
{
    return GlobalAppDataPath + QStringLiteral("Velora/DATA.nv");
}

TGroupPageLookup GlobalPgPropGroupPageView = nullptr;
TUndoRedo *GlobalDesignerUndoRedo = nullptr;
TSelectionLookup GlobalDesignerSelection = nullptr;
TDblClickUndoRecorder GlobalRecordDblClickUndo = nullptr;
TSelectElementHook GlobalSelectElementHook = nullptr;
TPageDblClickUndoRecorder GlobalRecordPageDblClickUndo = nullptr;
TProjectProps *GlobalProjectProps = nullptr;
int GlobalDirtyPrnXOfs = 0;
int GlobalDirtyPrnYOfs = 0;

namespace {
constexpr int kPdfPaneKind = 100;
constexpr int kDatabaseKind = 110;
// Stored strings pass through this; changing it makes them unreadable.
constexpr char16_t kDisguise = 0x5A;

int KindOf(const QObject *element)
{
    return element ? element->property("ClassTypeID").toInt() : 0;
}

void ShowError(const QString &text)
{
    Global_MessageDlg(GlobalAppTitle(), text, mtError, mbOK, 0);
}

// Name split for natural order: prefix and the number its trailing digits make.
std::pair<QString, qulonglong> NaturalKey(const QString &name)
{
    int i = int(name.size());
    while (i > 0 && name.at(i - 1).isDigit())
        --i;
    bool ok = false;
    const qulonglong number = name.mid(i).toULongLong(&ok);
    return {name.left(i), ok ? number : 0};
}
} // namespace

int GlobalActivePgIdx()
{
    return GlobalPagesPageControl ? GlobalPagesPageControl->ActivePageIndex() : -1;
}

TPrinterPage *GlobalPgScrollBox(int index)
{
    if (!GlobalPagesPageControl)
        return nullptr;
    TTabSheet *sheet = GlobalPagesPageControl->Pages(index);
    return sheet ? qobject_cast<TPrinterPage *>(sheet->PageView()) : nullptr;
}

QWidget *GlobalPgPaintBox(int index)
{
    TPrinterPage *page = GlobalPgScrollBox(index);
    return page ? page->PaintBox() : nullptr;
}

std::intptr_t GlobalNotifyCtrls(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                bool allPages)
{
    if (!GlobalPagesPageControl || GlobalPagesPageControl->PageCount() == 0)
        return 0;
    TMessage message {msg, wParam, lParam, 0};
    const int first = allPages ? 0 : GlobalActivePgIdx();
    const int last = allPages ? GlobalPagesPageControl->PageCount() - 1 : first;
    for (int i = first; i <= last; ++i)
        if (TPrinterPage *page = GlobalPgScrollBox(i))
            BroadcastMessage(page, message);
    return message.Result;
}

void GlobalMadeChange()
{
    if (!GlobalLoadingProject)
        GlobalProjectChanged = true;
    SendMessage(GlobalMainForm, VRMSGProjectChanged, GlobalProjectChanged ? 1 : 0);
}

void GlobalClearChanges()
{
    GlobalProjectChanged = false;
    SendMessage(GlobalMainForm, VRMSGProjectChanged, 0);
}

bool GlobalVeloraFiller()
{
    return SendMessage(GlobalMainForm, VRMSGIsFiller) == 0;
}

bool GlobalQuickDrawPDFs()
{
    return SendMessage(GlobalMainForm, VRMSGQuickDrawPDFs) != 0;
}

Extended GlobalSetDecPlaces(Extended value, int places)
{
    // Rounding through text is dear, and a form being read repeats few values:
    // the last results are kept, found by the value's own ten bytes (so -0 stays -0).
    struct TRounded
    {
        unsigned char Bits[10];
        int Places = -1;
        Extended Result;
    };
    thread_local std::array<TRounded, 512> rounded;
    unsigned char bits[10];
    std::memcpy(bits, &value, sizeof bits);
    size_t hash = size_t(places);
    for (const unsigned char b : bits)
        hash = hash * 131 + b;
    TRounded &slot = rounded[hash % rounded.size()];
    if (slot.Places == places && std::memcmp(slot.Bits, bits, sizeof bits) == 0)
        return slot.Result;
    // Rounding through text on purpose: stored documents hold these exact values.
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", places, value);
    char precise[64];
    std::snprintf(precise, sizeof precise, "%.18Lg", std::strtold(buffer, nullptr));
    const Extended result = std::strtold(precise, nullptr);
    std::memcpy(slot.Bits, bits, sizeof bits);
    slot.Places = places;
    slot.Result = result;
    return result;
}

int GlobalCompFontHeight(int screenPixelsPerInch, int zoomPercent, int points)
{
    return -int(Trunc(Extended(points) * zoomPercent / 100 * screenPixelsPerInch / 72));
}

QString Global_HTTPEncode(const QString &text)
{
    static const QByteArray kept = QByteArrayLiteral("!$'()*-.@_");
    QString result;
    const QByteArray bytes = text.toUtf8();
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 128 && std::isalnum(c)) || kept.contains(ch))
            result += QChar(c);
        else
            result += u'%' + QStringLiteral("%1").arg(c, 2, 16, QChar(u'0'));
    }
    return result;
}

bool Global_IsValidEmail(const QString &text)
{
    const qsizetype at = text.indexOf(u'@');
    if (at <= 0 || text.contains(QStringLiteral("..")))
        return false;
    const QString name = text.left(at);
    const QString domain = text.mid(at + 1);
    if (domain.size() < 4)
        return false;
    // 1-based position of the first dot: 2 or later, and 2 or more characters before the end.
    const qsizetype dot = domain.indexOf(u'.') + 1;
    if (dot < 2 || dot > domain.size() - 2)
        return false;
    const auto allowed = [](const QString &part) {
        for (const QChar c : part)
            if (!(c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_'))
                return false;
        return true;
    };
    return allowed(name) && allowed(domain);
}

QString Global_ListToStr(const QString &lines, const QString &extra, QChar separator)
{
    QStringList items;
    const QString wanted = extra.trimmed();
    bool found = false;
    for (const QString &line : lines.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")))) {
        const QString item = line.trimmed();
        if (item.isEmpty())
            continue;
        found = found || item.compare(wanted, Qt::CaseInsensitive) == 0;
        items << item;
    }
    if (!wanted.isEmpty() && !found)
        items << wanted;
    return items.join(separator);
}

QString Global_StrToList(const QString &text, QChar separator)
{
    QString result = text;
    return result.replace(separator, QStringLiteral("\r\n"));
}

QRect Global_NormalizeRect(const QRect &rect)
{
    // QRect::normalized() shifts inverted corners by a pixel; keep the corners as given.
    return QRect(QPoint(std::min(rect.left(), rect.right()), std::min(rect.top(), rect.bottom())),
                 QPoint(std::max(rect.left(), rect.right()), std::max(rect.top(), rect.bottom())));
}

QString GlobalDisguiseString(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        c = QChar(char16_t(c.unicode() ^ kDisguise));
    return result;
}

QString CommonGlobal_DecToBaseN(std::uint64_t value, int base, const QString &digits, int width)
{
    QString result;
    if (base >= 2 && base <= digits.size())
        for (; value > 0; value /= std::uint64_t(base))
            result.prepend(digits.at(qsizetype(value % std::uint64_t(base))));
    return result.rightJustified(width, u'0');
}

std::uint64_t CommonGlobal_BaseNToDec(const QString &number, int base, const QString &digits)
{
    std::uint64_t result = 0;
    for (const QChar c : number) {
        const qsizetype d = digits.indexOf(c);
        if (d < 0 || d >= base)
            throw EVeloraError(
                QStringLiteral("'%1' is not a valid base %2 number.").arg(number).arg(base));
        result = result * std::uint64_t(base) + std::uint64_t(d);
    }
    return result;
}

QString CommonGlobal_GetVerInfo(const QString &fileName, const QString &item)
{
    // Our programs carry their version data in the shared library, not in the file.
    const QString name = QFileInfo(fileName).fileName();
    const bool ours = name.startsWith(QStringLiteral("Velora"))
        || name.startsWith(QStringLiteral("vrPI_"), Qt::CaseInsensitive)
        || name.startsWith(QStringLiteral("libvelorashared")) || name == QStringLiteral("vldtool");
    if (!ours)
        return {};
    const QString version = QStringLiteral(VELORA_VERSION);
    if (item == u"FileVersion" || item == u"ProductVersion")
        return version;
    if (item == u"ProductName")
        return QStringLiteral("Velora");
    if (item == u"CompanyName")
        return QStringLiteral("Corvale");
    if (item == u"InternalName" || item == u"OriginalFilename")
        return name;
    if (item == u"FileDescription") {
        if (name.startsWith(QStringLiteral("VeloraFiller")))
            return QStringLiteral("Velora Filler");
        if (name.startsWith(QStringLiteral("VeloraDesigner")))
            return QStringLiteral("Velora Designer");
        return QStringLiteral("Velora component");
    }
    if (item == u"LegalCopyright")
        return QStringLiteral("Copyright the Velora developers; GPL-3.0-or-later");
    return {};
}

int CommonGlobal_CtrlZOrder(const QWidget *control)
{
    if (!control || !control->parentWidget())
        return -1;
    int index = 0;
    for (const QObject *child : control->parentWidget()->children()) {
        if (child == control)
            return index;
        if (child->isWidgetType())
            ++index;
    }
    return -1;
}

QString Global_StripHTML(const QString &text)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString result = text;
    return result.remove(tag);
}

QString GlobalGetLinkTarget(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isSymLink())
        return info.symLinkTarget();
    if (info.suffix().compare(QStringLiteral("desktop"), Qt::CaseInsensitive) == 0) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            // A desktop entry points through URL= (links) or Exec= (programs).
            for (const QByteArray &raw : file.readAll().split('\n')) {
                const QString line = QString::fromUtf8(raw).trimmed();
                for (const char *key : {"URL=", "Exec="})
                    if (line.startsWith(QLatin1String(key)))
                        return line.mid(qsizetype(qstrlen(key))).section(u' ', 0, 0);
            }
        }
    }
    return fileName;
}

QObject *Global_FormElementRef(const QString &name)
{
    if (!GlobalPagesPageControl)
        return nullptr;
    TComponent *c = GlobalPagesPageControl->FindComponent(name);
    return c ? c->Object() : nullptr;
}

bool Global_FormElementNameIn(const QList<TComponent *> &components, const QString &name)
{
    return std::any_of(components.begin(), components.end(), [&](const TComponent *c) {
        return c && c->Name().compare(name, Qt::CaseInsensitive) == 0;
    });
}

void Global_FileNameSort(QList<TComponent *> &components)
{
    std::stable_sort(components.begin(), components.end(),
                     [](const TComponent *a, const TComponent *b) {
                         const auto ka = NaturalKey(a->Name());
                         const auto kb = NaturalKey(b->Name());
                         const int c = ka.first.compare(kb.first, Qt::CaseInsensitive);
                         return c != 0 ? c < 0 : ka.second < kb.second;
                     });
}

QStringList Global_FillHTMLExportDropList(std::span<const int> kinds)
{
    QStringList names;
    if (!GlobalPagesPageControl)
        return names;
    for (int i = 0; i < GlobalPagesPageControl->ComponentCount(); ++i) {
        const TComponent *c = GlobalPagesPageControl->Components(i);
        if (std::find(kinds.begin(), kinds.end(), KindOf(c->Object())) != kinds.end())
            names << c->Name();
    }
    return names;
}

void GlobalFocusElement(const QString &name)
{
    auto *element = qobject_cast<TVisualPgCtrl *>(Global_FormElementRef(name));
    if (!element)
        return;
    for (int i = 0; GlobalPagesPageControl && i < GlobalPagesPageControl->PageCount(); ++i) {
        if (GlobalPgScrollBox(i) != element->parentWidget())
            continue;
        if (i != GlobalActivePgIdx()) {
            GlobalPagesPageControl->SetActivePageIndex(i);
            SendMessage(GlobalMainForm, VRMSGActivePageChanged);
        }
        break;
    }
    element->SetFocus(QPoint(-1, -1));
}

int GlobalStrInList(const QString &text, const QString &itemsText, const QStringList *items)
{
    const QStringList lines = items
        ? QStringList()
        : itemsText.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    const QStringList &list = items ? *items : lines;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    if (text.isEmpty())
        return -1;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).startsWith(text, Qt::CaseInsensitive))
            return int(i);
    return -1;
}

TGlobalImageSource GlobalImageSource(const TPropGroupPDF *pdf, const QImage *picture)
{
    if (pdf && !pdf->PDFLink().isEmpty())
        return gisPDF;
    if (picture && !picture->isNull())
        return gisPicture;
    return gisNone;
}

QRect GlobalAdjImgRect(const QRect &target, TGlobalImageSource source, const TPropGroupPDF *pdf,
                       const QImage *picture, int pageIndex, bool proportional, bool actualSize)
{
    int w = target.width();
    int h = target.height();
    if (source == gisPicture && picture) {
        if (picture->width() > 0)
            w = picture->width();
        if (picture->height() > 0)
            h = picture->height();
    } else if (source == gisPDF && pdf) {
        QObject *pane = Global_FormElementRef(pdf->PDFLink());
        const auto size = std::uintptr_t(
            pane ? SendMessage(pane, VRMSGPDFPageSize, std::uintptr_t(pdf->PDFPage())) : 0);
        // A page the view cannot measure keeps the target's size.
        if ((size & 0xFFFF) != 0 && ((size >> 16) & 0xFFFF) != 0) {
            w = int(size & 0xFFFF);
            h = int((size >> 16) & 0xFFFF);
        }
    }
    if (actualSize) {
        const TPrinterPage *page = GlobalPgScrollBox(pageIndex);
        const int zoom = page ? page->Zoom() : 100;
        return QRect(QPoint(target.left(), target.top()),
                     QSize(TPrinterPage::Scale(zoom, w), TPrinterPage::Scale(zoom, h)));
    }
    if (!proportional || w <= 0 || h <= 0)
        return target;
    const Extended s = std::min(Extended(target.width()) / w, Extended(target.height()) / h);
    const int W = int(Round(w * s));
    const int H = int(Round(h * s));
    const int left = target.left() + (target.width() - W) / 2;
    const int top = target.top() + (target.height() - H) / 2;
    return QRect(left, top, W, H);
}

bool GlobalValidLocation(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists()
        && !dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .isEmpty();
}

void GlobalSelectElement(QWidget *element, bool keepSelection)
{
    if (!element)
        return;
    auto *visual = qobject_cast<TVisualPgCtrl *>(element);
    if (visual && GlobalPagesPageControl) {
        for (int i = 0; i < GlobalPagesPageControl->PageCount(); ++i) {
            TPrinterPage *page = GlobalPgScrollBox(i);
            if (page != element->parentWidget())
                continue;
            if (i != GlobalActivePgIdx()) {
                GlobalPagesPageControl->SetActivePageIndex(i);
                SendMessage(GlobalMainForm, VRMSGActivePageChanged);
                return;
            }
            if (!keepSelection)
                page->ScrollInView(element->geometry());
            break;
        }
    }
    if (GlobalSelectElementHook)
        GlobalSelectElementHook(element, keepSelection);
}

QObject *GlobalValidatePDFLink(const QString &name)
{
    QObject *element = Global_FormElementRef(name);
    if (element && KindOf(element) == kPdfPaneKind)
        return element;
    ShowError(element ? QStringLiteral("\"%1\" is not a valid PDF link.").arg(name)
                      : QStringLiteral("PDF link \"%1\" not found.").arg(name));
    return nullptr;
}

QObject *GlobalValidateDatabaseLink(const QString &name, bool show)
{
    QObject *element = Global_FormElementRef(name);
    if (element && KindOf(element) == kDatabaseKind)
        return element;
    if (show)
        ShowError(element ? QStringLiteral("\"%1\" is not a valid Database connection.").arg(name)
                          : QStringLiteral("Database connection \"%1\" not found.").arg(name));
    return nullptr;
}

QObject *GlobalLocatePdfPane(const QString &fileName)
{
    QObject *found = nullptr;
    if (GlobalPagesPageControl) {
        const QString file = fileName;
        for (int i = 0; i < GlobalPagesPageControl->ComponentCount() && !found; ++i) {
            QObject *element = GlobalPagesPageControl->Components(i)->Object();
            if (KindOf(element) == kPdfPaneKind
                && SendMessage(element, VRMSGPDFNameMatch, 0,
                               reinterpret_cast<std::intptr_t>(&file))
                    == 0)
                found = element;
        }
    }
    if (!found) {
        if (!QFileInfo::exists(fileName)) {
            ShowError(QStringLiteral("The specified PDF '%1' could not be found.").arg(fileName));
            return nullptr;
        }
        // Size 0: the kind's own.
        found = reinterpret_cast<QObject *>(
            SendMessage(GlobalMainForm, VRMSGCreateElement, std::uintptr_t(kPdfPaneKind), 0));
    }
    if (found) {
        const QString file = fileName;
        SendMessage(found, VRMSGSetPDFName, 0, reinterpret_cast<std::intptr_t>(&file));
    }
    return found;
}

QString GlobalImageFileFilter(bool pdfAvailable)
{
    QString filter = QStringLiteral(
        "All Supported Formats|*.bmp;*.emf;*.gif;*.ico;*.jpeg;*.jpg;*.pdf;*.png;*.wmf|"
        "Bitmaps (*.bmp)|*.bmp|Enhanced Metafiles (*.emf)|*.emf|GIF Image Files (*.gif)|*.gif|"
        "Icons (*.ico)|*.ico|JPEG Image Files (*.jpeg)|*.jpeg|JPEG Image Files (*.jpg)|*.jpg|"
        "PNG Image Files (*.png)|*.png|");
    if (pdfAvailable)
        filter += QStringLiteral("PDF (*.pdf)|*.PDF|");
    return filter + QStringLiteral("Metafiles (.wmf)|*.wmf");
}

bool GlobalSelectedImageFile(const QString &current, const QString &caption, bool pdfAvailable,
                             QString &fileName, int /*helpTopic*/)
{
    TFileRequest request;
    request.Caption = caption;
    request.FileName = current;
    request.Filter = GlobalImageFileFilter(pdfAvailable);
    request.InitialDir = QFileInfo(current).absolutePath();
    fileName = DialogService().OpenFileName(request);
    return !fileName.isEmpty();
}

bool GlobalGetTextDlg(const QString &text, const QString &caption, bool singleLine, QString &result,
                      int helpTopic)
{
    TStringPropEditForm dlg(QApplication::activeWindow(), singleLine);
    if (!caption.trimmed().isEmpty())
        dlg.setWindowTitle(caption.trimmed());
    dlg.setProperty("HelpContext", helpTopic);
    dlg.SetText(text);
    result = text;
    if (DialogService().ExecModal(dlg) != QDialog::Accepted)
        return false;
    result = dlg.Text();
    return true;
}
