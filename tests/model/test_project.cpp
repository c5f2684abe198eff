#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class TProjectBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

class TProjectPage : public TPrinterPage
{
    Q_OBJECT
public:
    TProjectPage(TComponent *owner, QWidget *parent) : TPrinterPage(owner, parent)
    {
        ReplacePaintBox(new TProjectPagePaintBox(this));
        SetShowShadow(false);
    }
};

// Passes the paper-change message on to the elements, as the main windows do.
class TPaperMain : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == VRMSGPagePaperChange)
            GlobalNotifyCtrls(m.Msg, m.WParam, m.LParam, true);
        if (m.Msg == VRMSGProjectChanged)
            ++Changes;
    }
    int Changes = 0;
};

// A new project sets the filling state for everyone.
class ProjectPages : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
};

// The change tracking it checks lives in a global.
class ProjectInfo : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
};

class Project : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        PrinterService().DeviceMode() = TDeviceMode();
        GlobalMainForm = &main;
        GlobalPagesPageControl = pages.get();
        GlobalProjectProps = &project;
        pages->resize(900, 1200);
        pages->show();
        for (int i = 0; i < 2; ++i) {
            TTabSheet *sheet = pages->AddPage(QStringLiteral("Page %1").arg(i + 1));
            auto *view = new TProjectPage(pages.get(), sheet);
            view->resize(800, 1150);
            views << view;
            project.AddPage();
        }
        GlobalClearChanges();
    }
    void TearDown() override
    {
        pages.reset();
        project.Clear();
        GlobalProjectProps = nullptr;
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
        GlobalProjectChanged = false;
        PrinterService().DeviceMode() = TDeviceMode();
    }
    TProjectBox *AddBox(int page)
    {
        auto *box = CreateComponent<TProjectBox>(pages.get());
        box->setParent(views[page]);
        box->setGeometry(200, 300, 150, 40);
        box->show();
        box->CalcRelBounds(true, true, true, true, true, true);
        box->CalcPosSizeProps(true, true, true, true, true, true);
        return box;
    }
    static QString WriteImage(const QTemporaryDir &dir, const QString &name, QSize size,
                              QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }

    TPaperMain main;
    TProjectProps project;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>(nullptr);
    QList<TPrinterPage *> views;
};
} // namespace

TEST_F(ProjectPages, ListOperationsKeepTheCount)
{
    TProjectProps project;
    project.Clear(); // nothing to do
    EXPECT_EQ(project.PageCount(), 0);
    EXPECT_EQ(project.AddPage(), 0);
    auto *second = new TProjectPropsPageProps;
    EXPECT_EQ(project.AddPage(second), 1);
    auto *first = new TProjectPropsPageProps;
    project.InsertPage(0, first);
    EXPECT_EQ(project.PageCount(), 3);
    EXPECT_EQ(project.Page(0), first);
    EXPECT_TRUE(project.Using(second));
    project.RemovePage(2, false);
    EXPECT_EQ(project.PageCount(), 2);
    EXPECT_FALSE(project.Using(second));
    project.RemovePage(7, true); // out of range: nothing
    EXPECT_EQ(project.PageCount(), 2);
    project.Clear();
    EXPECT_EQ(project.PageCount(), 0);

    // Settings of a page that is not in any project read neutral values.
    EXPECT_EQ(second->PagePaperProps()->PaperWidth(), 0);
    EXPECT_TRUE(second->PageMarginProps()->MarginsDisplay());
    second->PageMarginProps()->SetMarginsTop(30); // ignored
    EXPECT_EQ(second->PageMarginProps()->MarginsTop(), 0);
    EXPECT_FALSE(second->PageFillProps()->FillTransparent());
    delete second;
}

TEST_F(ProjectInfo, DefaultsAndChangeTracking)
{
    TProjectInfo info;
    EXPECT_EQ(info.LastExportSMTPPort(), 25);
    EXPECT_EQ(info.LastExportAfterSubmitActionDisplayPage(), -1);
    EXPECT_EQ(info.LastExportAfterSubmitActionDisplayText(),
              QStringLiteral("Thank you for your submission."));
    EXPECT_EQ(info.LastExportSMTPNameIPAddr(), QStringLiteral("LocalHost"));
    EXPECT_EQ(info.LastExportSMTPSendUsing(), 2);
    EXPECT_TRUE(info.LastExportBody2ToBrowser());
    EXPECT_EQ(info.LastExportCustomSMTP(), cbUnchecked);

    GlobalProjectChanged = false;
    info.SetLastExportSMTPPort(25); // same value: no change
    EXPECT_FALSE(GlobalProjectChanged);
    info.SetLastExportTo1(QStringLiteral("office@example.com"));
    EXPECT_TRUE(GlobalProjectChanged);
    GlobalProjectChanged = false;
    info.setProperty("LastExportSMTPPort", 587);
    EXPECT_TRUE(GlobalProjectChanged);
    GlobalProjectChanged = false;
    info.Clear();
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_EQ(info.LastExportSMTPPort(), 25);
    EXPECT_TRUE(info.LastExportTo1().isEmpty());
}

TEST_F(Project, GroupsReachTheirPageView)
{
    TProjectPropsPageProps *page = project.Page(1);
    EXPECT_EQ(GlobalPgPropGroupPgNo(page->PagePaperProps()), 1);
    EXPECT_EQ(page->PagePaperProps()->PaperWidth(), 210);
    page->PageMarginProps()->SetMarginsLeft(25);
    EXPECT_EQ(views[1]->LeftMargin(), 25);
    EXPECT_TRUE(GlobalProjectChanged);
    page->PageMarginProps()->SetMarginsDisplay(false);
    EXPECT_FALSE(views[1]->ShowMargins());

    // Cloning copies through the setters onto another page.
    page->PageFillProps()->SetFillColor(clYellow);
    project.ClonePgProps(1, project.Page(0));
    EXPECT_EQ(views[0]->LeftMargin(), 25);
    EXPECT_FALSE(views[0]->ShowMargins());
    EXPECT_EQ(project.Page(0)->PageFillProps()->FillColor(), clYellow);
    project.ClonePgProps(-1, project.Page(0)); // no source: nothing
}

TEST_F(Project, BackgroundPictureIsDrawnWhereItFits)
{
    QTemporaryDir dir;
    const QString png = WriteImage(dir, QStringLiteral("wide.png"), QSize(400, 100), Qt::red);
    auto *background = project.Page(0)->PageBackgroundProps();
    project.Page(0)->PageFillProps()->SetFillColor(clLime);
    background->SetPageFileName(png);
    EXPECT_EQ(background->PageFileName(), png);
    EXPECT_FALSE(background->Picture().isNull());
    EXPECT_FALSE(background->FileNameImage().isEmpty());

    QWidget *sheet = views[0]->PaintBox();
    const QRect expected = GlobalAdjImgRect(sheet->rect(), gisPicture, nullptr,
                                            &background->Picture(), 0, true, false);
    const QImage shot = sheet->grab().toImage();
    EXPECT_EQ(shot.pixelColor(expected.center()), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(expected.center().x(), expected.top() - 3), QColor(Qt::green));

    // Stretched over the whole sheet when not proportional.
    background->SetPageProportional(false);
    const QImage stretched = sheet->grab().toImage();
    EXPECT_EQ(stretched.pixelColor(sheet->width() / 2, 5), QColor(Qt::red));

    // Not displayed: only the page colour.
    background->SetPageDisplay(false);
    EXPECT_EQ(sheet->grab().toImage().pixelColor(sheet->rect().center()), QColor(Qt::green));
}

TEST_F(Project, ABackgroundShrunkForTheScreenKeepsItsThinStrokes)
{
    // Printed labels at 150 ppi: strokes two pixels wide, as the stems of small print.
    QTemporaryDir dir;
    QImage labels(1240, 1754, QImage::Format_RGB32);
    labels.fill(Qt::white);
    QList<int> stems;
    {
        QPainter p(&labels);
        for (int x = 100; x < 1100; x += 37) {
            p.fillRect(QRect(x, 400, 2, 300), Qt::black);
            stems << x;
        }
    }
    const QString png = dir.filePath(QStringLiteral("labels.png"));
    ASSERT_TRUE(labels.save(png));
    auto *background = project.Page(0)->PageBackgroundProps();
    background->SetPageFileName(png);

    views[0]->SetZoom(61);
    QWidget *sheet = views[0]->PaintBox();
    const QRect drawn = GlobalAdjImgRect(sheet->rect(), gisPicture, nullptr, &background->Picture(),
                                         0, true, false);
    const QImage shot = sheet->grab().toImage();
    const double scale = double(drawn.width()) / labels.width();
    ASSERT_LT(scale, 0.5);
    const int y = drawn.top() + int(550 * scale);
    for (const int x : stems) {
        const int at = drawn.left() + int((x + 1) * scale);
        int darkest = 255;
        for (int dx = -2; dx <= 2; ++dx)
            darkest = qMin(darkest, qGray(shot.pixel(at + dx, y)));
        EXPECT_LT(darkest, 200) << "stroke at " << x;
    }
}

TEST_F(Project, BadBackgroundFilesAreReported)
{
    QTemporaryDir dir;
    const QString good = WriteImage(dir, QStringLiteral("ok.png"), QSize(10, 10), Qt::blue);
    auto *background = project.Page(0)->PageBackgroundProps();
    background->SetPageFileName(good);

    const QString missing = dir.filePath(QStringLiteral("gone.png"));
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified file '%1' could not be found.").arg(missing));
    background->SetPageFileName(missing);
    EXPECT_EQ(background->PageFileName(), good);
    EXPECT_FALSE(background->Picture().isNull());

    const QString damaged = dir.filePath(QStringLiteral("damaged.png"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG not really");
    file.close();
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified file '%1' could not be loaded.").arg(damaged));
    background->SetPageFileName(damaged);
    EXPECT_TRUE(background->PageFileName().isEmpty());
    EXPECT_TRUE(background->Picture().isNull());

    // Without the PDF view kind a PDF is just a file that is no picture.
    const QString pdf = dir.filePath(QStringLiteral("form.pdf"));
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::WriteOnly));
    pdfFile.write("%PDF-1.4\n");
    pdfFile.close();
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("could not be loaded."));
    background->SetPageFileName(pdf);
    EXPECT_TRUE(background->PageFileName().isEmpty());
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(Project, PageEditorChoosesABackgroundWithUndo)
{
    static QStringList recorded;
    recorded.clear();
    GlobalRecordPageDblClickUndo
        = [](int page, const QString &property, const QString &from, const QString &to) {
              recorded << QStringLiteral("%1 %2 %3>%4").arg(page).arg(property, from, to);
          };
    QString value;
    ScriptedDialogs().ExpectOpenFile(QString());
    EXPECT_FALSE(project.Page(0)->ShowPropEditor(QStringLiteral("PageFileName"), true, value));
    EXPECT_TRUE(recorded.isEmpty());
    EXPECT_FALSE(project.Page(0)->ShowPropEditor(QStringLiteral("PageFillProps"), true, value));

    QTemporaryDir dir;
    const QString png = WriteImage(dir, QStringLiteral("b.png"), QSize(8, 8), Qt::blue);
    ScriptedDialogs().ExpectOpenFile(png);
    EXPECT_TRUE(project.Page(0)->ShowPropEditor(QString(), true, value));
    EXPECT_EQ(value, png);
    EXPECT_EQ(recorded, QStringList {QStringLiteral("0 PageFileName >%1").arg(png)});
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(Project, PaperChangeAsksAboutTheElements)
{
    TProjectBox *box = AddBox(0);
    const Extended widthMm = box->VisualPosSizeProps()->PosSizeWidth();
    const Extended relWidth = box->BaseRelWidth();
    TPropGroupPaper *paper = project.Page(0)->PagePaperProps();

    ScriptedDialogs().ExpectMessage(mrCancel, QStringLiteral("resize and reposition"));
    paper->SetPaperSize(8); // A3
    EXPECT_EQ(views[0]->PageWidth(), 210);

    // Yes: the element keeps its share of the paper, so its millimetres grow.
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("resize and reposition"));
    paper->SetPaperSize(8);
    EXPECT_EQ(views[0]->PageWidth(), 297);
    EXPECT_NEAR(double(box->BaseRelWidth()), double(relWidth), 1e-9);
    EXPECT_NEAR(double(box->VisualPosSizeProps()->PosSizeWidth()), double(widthMm) * 297 / 210,
                0.02);

    // No: the element keeps its millimetres, so its share shrinks on wider paper.
    const Extended mmBefore = box->VisualPosSizeProps()->PosSizeWidth();
    const Extended relBefore = box->BaseRelWidth();
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("resize and reposition"));
    paper->SetPaperOrientation(poLandscape);
    EXPECT_EQ(views[0]->PageWidth(), 420);
    EXPECT_NEAR(double(box->VisualPosSizeProps()->PosSizeWidth()), double(mmBefore), 0.02);
    EXPECT_NEAR(double(box->BaseRelWidth()), double(relBefore) * 297 / 420, 0.01);

    // A page without visual elements changes silently.
    project.Page(1)->PagePaperProps()->SetPaperSize(1);
    EXPECT_EQ(views[1]->PageWidth(), 216);
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(Project, DestroyedPdfViewLeavesNoLink)
{
    TPropGroupPDF *pdf = project.Page(1)->PageBackgroundProps()->PagePDFProps();
    pdf->RenamePDFLink(QStringLiteral("Pdf1"));
    QObject stranger;
    project.DestroyingNVCtrl(&stranger);
    EXPECT_EQ(pdf->PDFLink(), QStringLiteral("Pdf1"));
    TProjectBox named(nullptr);
    named.SetName(QStringLiteral("PDF1"));
    project.DestroyingNVCtrl(&named);
    EXPECT_TRUE(pdf->PDFLink().isEmpty());
}

#include "test_project.moc"
