#include "CAppPaths.h"
#include "CBaseForm.h"
#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "Cini.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class TGlobalBox : public TVisualPgCtrl
{
    Q_OBJECT
public:
    explicit TGlobalBox(TComponent *owner, int kind = 20) : TVisualPgCtrl(owner), m_kind(kind) { }
    int ClassTypeID() const override { return m_kind; }

private:
    int m_kind;
};

// Stands in for a PDF view: answers the page size and whether it shows a file.
class TFakePdfPane : public TGlobalBox
{
    Q_OBJECT
public:
    explicit TFakePdfPane(TComponent *owner) : TGlobalBox(owner, 100) { }
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == VRMSGPDFPageSize)
            m.Result = m.WParam == 1 ? (400 | (200 << 16)) : 0;
        else if (m.Msg == VRMSGPDFNameMatch)
            m.Result = *reinterpret_cast<const QString *>(m.LParam) == Shows ? 0 : 1;
        else if (m.Msg == VRMSGSetPDFName)
            Shows = *reinterpret_cast<const QString *>(m.LParam);
        else
            TGlobalBox::Dispatch(m);
    }
    QString Shows;
};

class TMainProbe : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &m) override
    {
        Received.append(m.Msg);
        if (m.Msg == VRMSGQuickDrawPDFs)
            m.Result = 1;
        if (m.Msg == VRMSGCreateElement && Create)
            m.Result = reinterpret_cast<std::intptr_t>(Create());
    }
    QList<std::uint32_t> Received;
    std::function<QObject *()> Create;
};

// Counts a message at every element it reaches.
class TCountingBox : public TGlobalBox
{
    Q_OBJECT
public:
    using TGlobalBox::TGlobalBox;
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == 0x8499)
            ++m.Result;
        TGlobalBox::Dispatch(m);
    }
};

class GlobalPages : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        GlobalMainForm = &main;
        GlobalPagesPageControl = pages.get();
        for (int i = 0; i < 2; ++i) {
            TTabSheet *sheet = pages->AddPage(QStringLiteral("Page %1").arg(i + 1));
            auto *view = new TPrinterPage(pages.get(), sheet);
            view->resize(800, 1000);
            views << view;
        }
    }
    void TearDown() override
    {
        pages.reset();
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
    }
    template<class T>
    T *Add(int page, const QString &name)
    {
        auto *box = CreateComponent<T>(pages.get());
        box->setParent(views[page]);
        box->SetName(name);
        box->setGeometry(100, 100, 120, 30);
        box->CalcRelBounds(true, true, true, true, true, true);
        return box;
    }
    TMainProbe main;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>(nullptr);
    QList<TPrinterPage *> views;
};
} // namespace

TEST(GlobalText, EncodingListsAndNumbers)
{
    EXPECT_EQ(Global_HTTPEncode(QStringLiteral("a b&c")), QStringLiteral("a%20b%26c"));
    EXPECT_EQ(Global_HTTPEncode(QStringLiteral("x!$'()*-.@_9")), QStringLiteral("x!$'()*-.@_9"));
    // Characters past ASCII go as their UTF-8 bytes.
    EXPECT_EQ(Global_HTTPEncode(QStringLiteral("é/")), QStringLiteral("%c3%a9%2f"));

    EXPECT_EQ(Global_ListToStr(QStringLiteral("  x \r\n\r\ny"), QStringLiteral("X"), u';'),
              QStringLiteral("x;y"));
    EXPECT_EQ(Global_ListToStr(QStringLiteral("a\r\nb"), QStringLiteral(" c "), u','),
              QStringLiteral("a,b,c"));
    EXPECT_EQ(Global_StrToList(QStringLiteral("a;b;"), u';'), QStringLiteral("a\r\nb\r\n"));

    EXPECT_EQ(CommonGlobal_DecToBaseN(5, 2, QStringLiteral("01"), 8), QStringLiteral("00000101"));
    EXPECT_EQ(CommonGlobal_DecToBaseN(0, 16, QStringLiteral("0123456789ABCDEF"), 3),
              QStringLiteral("000"));
    EXPECT_EQ(CommonGlobal_DecToBaseN(255, 16, QStringLiteral("0123456789ABCDEF"), 0),
              QStringLiteral("FF"));
    EXPECT_EQ(CommonGlobal_BaseNToDec(QStringLiteral("FF"), 16, QStringLiteral("0123456789ABCDEF")),
              255u);
    EXPECT_EQ(CommonGlobal_BaseNToDec(QStringLiteral("00000101"), 2, QStringLiteral("01")), 5u);
    EXPECT_THROW(CommonGlobal_BaseNToDec(QStringLiteral("12"), 2, QStringLiteral("01")),
                 EVeloraError);

    const QString secret = QStringLiteral("pass wörd");
    EXPECT_NE(GlobalDisguiseString(secret), secret);
    EXPECT_EQ(GlobalDisguiseString(GlobalDisguiseString(secret)), secret);

    EXPECT_EQ(Global_NormalizeRect(QRect(QPoint(10, 20), QPoint(2, 4))),
              QRect(QPoint(2, 4), QPoint(10, 20)));
    EXPECT_EQ(Global_StripHTML(QStringLiteral("<b>Hi</b> <a href='x'>there</a>")),
              QStringLiteral("Hi there"));
    EXPECT_EQ(CommonGlobal_GetVerInfo(GlobalExecPath + QStringLiteral("VeloraFiller"),
                                      QStringLiteral("FileVersion")),
              QStringLiteral(VELORA_VERSION));
    EXPECT_TRUE(CommonGlobal_GetVerInfo(QStringLiteral("/bin/ls"), QStringLiteral("FileVersion"))
                    .isEmpty());
}

TEST(GlobalText, EmailRules)
{
    EXPECT_TRUE(Global_IsValidEmail(QStringLiteral("jo.ann@example.com")));
    EXPECT_TRUE(Global_IsValidEmail(QStringLiteral("a@bc.de")));
    for (const char *bad : {"jo.example.com", "jo..ann@example.com", "@example.com", "jo@a.b",
                            "jo@.example.com", "jo@examplecom.", "jo@example.c", "jo@ex@ample.com",
                            "jo ann@example.com", "jo@exam+ple.com"})
        EXPECT_FALSE(Global_IsValidEmail(QString::fromLatin1(bad))) << bad;
}

TEST(GlobalText, NumbersRoundThroughText)
{
    EXPECT_EQ(GlobalSetDecPlaces(2.5L, 0), 2.0L);
    EXPECT_EQ(GlobalSetDecPlaces(1.23456L, 2), 1.23L);
    EXPECT_EQ(GlobalCompFontHeight(96, 100, 12), -16);
    EXPECT_EQ(GlobalCompFontHeight(600, 150, 10), -125);
}

TEST(GlobalLists, StrInListExactThenPrefix)
{
    const QString items = QStringLiteral("Apple\r\nbanana\r\nBand");
    EXPECT_EQ(GlobalStrInList(QStringLiteral("BANANA"), items), 1);
    EXPECT_EQ(GlobalStrInList(QStringLiteral("ban"), items), 1);
    EXPECT_EQ(GlobalStrInList(QStringLiteral("band"), items), 2);
    EXPECT_EQ(GlobalStrInList(QStringLiteral("cherry"), items), -1);
    EXPECT_EQ(GlobalStrInList(QString(), items), -1);
    const QStringList list {QStringLiteral(""), QStringLiteral("x")};
    EXPECT_EQ(GlobalStrInList(QString(), QString(), &list), 0);
}

TEST(GlobalImages, AdjImgRectFitsCentresAndStretches)
{
    const QImage wide(200, 100, QImage::Format_RGB32);
    const QRect target(0, 0, 100, 100);
    EXPECT_EQ(GlobalImageSource(nullptr, &wide), gisPicture);
    EXPECT_EQ(GlobalImageSource(nullptr, nullptr), gisNone);
    EXPECT_EQ(GlobalAdjImgRect(target, gisPicture, nullptr, &wide, 0, true, false),
              QRect(QPoint(0, 25), QPoint(99, 74)));
    EXPECT_EQ(GlobalAdjImgRect(target, gisPicture, nullptr, &wide, 0, false, false), target);
    EXPECT_EQ(GlobalAdjImgRect(QRect(10, 10, 50, 50), gisPicture, nullptr, &wide, -1, true, true),
              QRect(10, 10, 200, 100));
}

TEST(GlobalFolders, ValidLocationWantsAnEntry)
{
    QTemporaryDir dir;
    EXPECT_FALSE(GlobalValidLocation(dir.path()));
    QFile(dir.filePath(QStringLiteral("f"))).open(QIODevice::WriteOnly);
    EXPECT_TRUE(GlobalValidLocation(dir.path()));
    EXPECT_FALSE(GlobalValidLocation(dir.filePath(QStringLiteral("none"))));

    QFile::link(dir.filePath(QStringLiteral("f")), dir.filePath(QStringLiteral("l")));
    EXPECT_EQ(GlobalGetLinkTarget(dir.filePath(QStringLiteral("l"))),
              dir.filePath(QStringLiteral("f")));
}

TEST_F(GlobalPages, PageAccessIdentityAndChanges)
{
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_EQ(GlobalPgScrollBox(1), views[1]);
    EXPECT_EQ(GlobalPgScrollBox(2), nullptr);
    EXPECT_EQ(GlobalPgPaintBox(1), views[1]->PaintBox());
    EXPECT_TRUE(GlobalVeloraFiller());
    EXPECT_TRUE(GlobalQuickDrawPDFs());

    {
        TGlobalFlagScope loading(GlobalLoadingProject);
        GlobalMadeChange();
        EXPECT_FALSE(GlobalProjectChanged);
    }
    GlobalMadeChange();
    EXPECT_TRUE(GlobalProjectChanged);
    GlobalClearChanges();
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_EQ(main.Received.count(VRMSGProjectChanged), 3);
}

TEST_F(GlobalPages, NotifyReachesOnePageOrAll)
{
    Add<TCountingBox>(0, QStringLiteral("A"));
    Add<TCountingBox>(0, QStringLiteral("B"));
    Add<TCountingBox>(1, QStringLiteral("C"));
    EXPECT_EQ(GlobalNotifyCtrls(0x8499, 0, 0, false), 2);
    EXPECT_EQ(GlobalNotifyCtrls(0x8499, 0, 0, true), 3);
    GlobalPagesPageControl = nullptr;
    EXPECT_EQ(GlobalNotifyCtrls(0x8499, 0, 0, true), 0);
}

TEST_F(GlobalPages, ElementsByNameInNaturalOrder)
{
    QList<TComponent *> list;
    for (const char *name : {"Box10", "box2", "Box1"})
        list << Add<TGlobalBox>(0, QString::fromLatin1(name));
    Global_FileNameSort(list);
    QStringList names;
    for (const TComponent *c : list)
        names << c->Name();
    EXPECT_EQ(names, (QStringList {"Box1", "box2", "Box10"}));
    EXPECT_TRUE(Global_FormElementNameIn(list, QStringLiteral("BOX2")));
    EXPECT_FALSE(Global_FormElementNameIn(list, QStringLiteral("Box3")));
    EXPECT_EQ(Global_FormElementRef(QStringLiteral("box10")), list.last()->Object());

    Add<TFakePdfPane>(1, QStringLiteral("Pdf1"));
    const int kinds[] = {100, 50};
    EXPECT_EQ(Global_FillHTMLExportDropList(kinds), QStringList {QStringLiteral("Pdf1")});
    EXPECT_EQ(CommonGlobal_CtrlZOrder(qobject_cast<QWidget *>(list.first()->Object())),
              views[0]->children().indexOf(list.first()->Object()));
}

TEST_F(GlobalPages, FocusAndSelectSwitchPages)
{
    Add<TGlobalBox>(1, QStringLiteral("Far"));
    GlobalFocusElement(QStringLiteral("far"));
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(main.Received.count(VRMSGActivePageChanged), 1);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Global_FormElementRef(QStringLiteral("Far")));

    auto *near = Add<TGlobalBox>(0, QStringLiteral("Near"));
    QList<QWidget *> selected;
    GlobalSelectElementHook = [](QWidget *element, bool) {
        element->setProperty("selected", true);
    };
    GlobalSelectElement(near, false);
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_FALSE(near->property("selected").toBool()); // only the page changed
    GlobalSelectElement(near, false);
    EXPECT_TRUE(near->property("selected").toBool());
}

TEST_F(GlobalPages, LinksToPdfViewsAndDatabases)
{
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("PDF link \"Nope\" not found."));
    EXPECT_EQ(GlobalValidatePDFLink(QStringLiteral("Nope")), nullptr);
    Add<TGlobalBox>(0, QStringLiteral("Text1"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("\"Text1\" is not a valid PDF link."));
    EXPECT_EQ(GlobalValidatePDFLink(QStringLiteral("Text1")), nullptr);
    EXPECT_EQ(GlobalValidateDatabaseLink(QStringLiteral("Text1"), false), nullptr);
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("\"Text1\" is not a valid Database connection."));
    EXPECT_EQ(GlobalValidateDatabaseLink(QStringLiteral("Text1"), true), nullptr);

    auto *pane = Add<TFakePdfPane>(0, QStringLiteral("Pdf1"));
    EXPECT_EQ(GlobalValidatePDFLink(QStringLiteral("pdf1")), pane);

    // A PDF page background is sized from the view's answer.
    TPropGroupPDF pdf(pane);
    pdf.SetPDFLink(QStringLiteral("Pdf1"));
    EXPECT_EQ(GlobalImageSource(&pdf, nullptr), gisPDF);
    EXPECT_EQ(GlobalAdjImgRect(QRect(0, 0, 100, 100), gisPDF, &pdf, nullptr, 0, true, false),
              QRect(0, 25, 100, 50));
    pdf.SetPDFPage(7); // a page the view cannot measure: the target's own shape
    EXPECT_EQ(GlobalAdjImgRect(QRect(0, 0, 100, 100), gisPDF, &pdf, nullptr, 0, true, false),
              QRect(0, 0, 100, 100));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified PDF '%1' could not be found.").arg(file));
    EXPECT_EQ(GlobalLocatePdfPane(file), nullptr);
    QFile(file).open(QIODevice::WriteOnly);
    // No view shows it: the main window makes one, which is told the file.
    TFakePdfPane *made = nullptr;
    main.Create = [&]() -> QObject * {
        made = Add<TFakePdfPane>(0, QStringLiteral("Pdf2"));
        return made;
    };
    QObject *located = GlobalLocatePdfPane(file);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(located, made);
    EXPECT_EQ(made->Shows, file);
    main.Create = nullptr;
    EXPECT_EQ(GlobalLocatePdfPane(file), made);
    ScriptedDialogs().VerifyAllUsed();
}

TEST(GlobalDialogs, ImageFileFilterAndCancel)
{
    QString chosen;
    ScriptedDialogs().ExpectOpenFile(QString());
    EXPECT_FALSE(
        GlobalSelectedImageFile(QString(), QStringLiteral("Background"), false, chosen, 0));
    EXPECT_TRUE(chosen.isEmpty());
    ScriptedDialogs().ExpectOpenFile(QStringLiteral("/tmp/x.png"));
    EXPECT_TRUE(GlobalSelectedImageFile(QString(), QStringLiteral("Background"), true, chosen, 0));
    EXPECT_EQ(chosen, QStringLiteral("/tmp/x.png"));
    EXPECT_TRUE(GlobalImageFileFilter(true).contains(QStringLiteral("|PDF (*.pdf)|*.PDF|")));
    EXPECT_FALSE(GlobalImageFileFilter(false).contains(QStringLiteral("PDF (*.pdf)")));
    EXPECT_TRUE(GlobalImageFileFilter(false).endsWith(QStringLiteral("Metafiles (.wmf)|*.wmf")));
}

TEST(GlobalsGuard, PutsEveryGlobalBackAsItFoundThem)
{
    // Real objects to point at; they outlive the guard, so nothing is left pointing at them.
    QTemporaryDir noPlugIns;
    TPlugIns registry(noPlugIns.path() + u'/');
    TProjectProps project;
    TPageControl pages;
    QWidget form;

    TProjectProps *const projectBefore = GlobalProjectProps;
    const int xOfs = GlobalDirtyPrnXOfs, yOfs = GlobalDirtyPrnYOfs;
    const bool changed = GlobalProjectChanged, loading = GlobalLoadingProject,
               clearing = GlobalClearingProject, adding = GlobalAddingPage, filling = GlobalFilling;
    const QString general = GlobalGeneralString;
    QWidget *const formBefore = GlobalMainForm;
    TPageControl *const pagesBefore = GlobalPagesPageControl;
    const TSelectElementHook select = GlobalSelectElementHook;
    const TGroupPageLookup pageView = GlobalPgPropGroupPageView;
    const TSelectionLookup selection = GlobalDesignerSelection;
    const TDblClickUndoRecorder record = GlobalRecordDblClickUndo;
    const TPageDblClickUndoRecorder recordPage = GlobalRecordPageDblClickUndo;
    TPlugIns *const plugIns = GlobalPlugIns;
    {
        const TGlobalsGuard guard;
        GlobalProjectProps = &project;
        GlobalDirtyPrnXOfs = xOfs + 7;
        GlobalDirtyPrnYOfs = yOfs - 7;
        GlobalProjectChanged = !changed;
        GlobalLoadingProject = !loading;
        GlobalClearingProject = !clearing;
        GlobalAddingPage = !adding;
        GlobalFilling = !filling;
        GlobalGeneralString = general + QStringLiteral("changed");
        GlobalMainForm = &form;
        GlobalPagesPageControl = &pages;
        GlobalSelectElementHook = [](QWidget *, bool) {
        };
        GlobalPgPropGroupPageView = [](const TPropGroup *) -> TPrinterPage * {
            return nullptr;
        };
        GlobalDesignerSelection = [] {
            return QList<QWidget *>();
        };
        GlobalRecordDblClickUndo
            = [](QWidget *, const QString &, const QString &, const QString &) {
              };
        GlobalRecordPageDblClickUndo = [](int, const QString &, const QString &, const QString &) {
        };
        GlobalPlugIns = &registry;
    }
    EXPECT_EQ(GlobalProjectProps, projectBefore);
    EXPECT_EQ(GlobalDirtyPrnXOfs, xOfs);
    EXPECT_EQ(GlobalDirtyPrnYOfs, yOfs);
    EXPECT_EQ(GlobalProjectChanged, changed);
    EXPECT_EQ(GlobalLoadingProject, loading);
    EXPECT_EQ(GlobalClearingProject, clearing);
    EXPECT_EQ(GlobalAddingPage, adding);
    EXPECT_EQ(GlobalFilling, filling);
    EXPECT_EQ(GlobalGeneralString, general);
    EXPECT_EQ(GlobalMainForm, formBefore);
    EXPECT_EQ(GlobalPagesPageControl, pagesBefore);
    EXPECT_EQ(GlobalSelectElementHook, select);
    EXPECT_EQ(GlobalPgPropGroupPageView, pageView);
    EXPECT_EQ(GlobalDesignerSelection, selection);
    EXPECT_EQ(GlobalRecordDblClickUndo, record);
    EXPECT_EQ(GlobalRecordPageDblClickUndo, recordPage);
    EXPECT_EQ(GlobalPlugIns, plugIns);
}

TEST(BaseForms, ReopenWhereTheyWereClosed)
{
    {
        TBaseINIForm form(nullptr, true);
        form.setObjectName(QStringLiteral("PlacedForm"));
        form.show();
        form.move(123, 145);
        form.resize(333, 222);
    }
    EXPECT_EQ(INIReadInt(GlobalAppINI, QStringLiteral("PlacedForm"), QStringLiteral("Left"), 0),
              123);
    TBaseINIForm again;
    again.setObjectName(QStringLiteral("PlacedForm"));
    again.show();
    EXPECT_EQ(again.pos(), QPoint(123, 145));
    EXPECT_EQ(again.size(), QSize(333, 222));

    {
        // Without remembering, the size is not written.
        TBaseForm plain;
        plain.setObjectName(QStringLiteral("PlainForm"));
        plain.show();
        plain.resize(250, 150);
    }
    EXPECT_EQ(INIReadInt(GlobalAppINI, QStringLiteral("PlainForm"), QStringLiteral("Width"), -1),
              -1);
}

TEST(BaseForms, AlignEditAlignsItsText)
{
    TAlignEdit edit;
    EXPECT_EQ(edit.Alignment(), taLeftJustify);
    EXPECT_TRUE(edit.alignment() & Qt::AlignLeft);
    edit.setProperty("Alignment", QVariant::fromValue(taRightJustify));
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    edit.SetAlignment(taCenter);
    EXPECT_TRUE(edit.alignment() & Qt::AlignHCenter);
}

#include "test_global.moc"
