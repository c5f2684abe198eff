#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "GlobalsGuard.h"
#include "SampleTextBox.h"
#include "ScriptedDialogService.h"

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class TMainWindowProbe : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &m) override
    {
        Received.append(m.Msg);
        if (m.Msg == 0x8401)
            m.Result = Designer ? 1 : 0;
    }
    int Count(std::uint32_t msg) const { return int(Received.count(msg)); }
    QList<std::uint32_t> Received;
    bool Designer = false;
};

class Elements : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = false;
        for (int i = 0; i < 2; ++i) {
            TTabSheet *sheet = pages->AddPage(QStringLiteral("Page %1").arg(i + 1));
            auto *view = new TPrinterPage(pages.get(), sheet);
            view->resize(900, 1200);
            views.append(view);
        }
    }
    void TearDown() override
    {
        pages.reset();
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
        GlobalFilling = false;
    }
    TSampleTextBox *AddBox(int page, const QString &name, int tabOrder, QPoint at = {100, 100})
    {
        auto *box = CreateComponent<TSampleTextBox>(pages.get());
        box->setParent(views[page]);
        box->SetName(name);
        box->SetTabOrder(tabOrder);
        box->move(at);
        box->CalcRelBounds(true, true, true, true, true, true);
        return box;
    }

    TMainWindowProbe mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    QList<TPrinterPage *> views;
};
} // namespace

TEST_F(Elements, ANewElementHasEveryGroupAtItsDefaultsAndPublishesThemInStreamOrder)
{
    TSampleTextBox *box = AddBox(0, QStringLiteral("Box1"), 0);
    EXPECT_EQ(box->size(), QSize(65, 17));
    EXPECT_EQ(box->VisualBorderProps()->BorderWidth(), 0);
    EXPECT_EQ(box->VisualFillProps()->FillColor(), clNone);
    EXPECT_EQ(box->VisualCharacterProps()->CharacterFont(), QStringLiteral("Arial"));
    EXPECT_TRUE(box->VisualGeneralProps()->GeneralDisplay());
    EXPECT_TRUE(box->VisualTABOnProps()->TABOnEnterKey());
    EXPECT_EQ(box->VisualParagraphProps()->ParagraphFixed()->FixedWidth(), 5.0L);
    EXPECT_EQ(box->VisualValidationProps()->ValidationErrMsgsList(),
              QStringList {QStringLiteral("<Name> is incomplete!")});
    EXPECT_EQ(box->GetRequired_VEM(), QStringLiteral("Box1 is incomplete!"));

    QStringList names;
    for (const QMetaProperty &p : StoredProperties(box->metaObject()))
        names.append(QLatin1String(p.name()));
    EXPECT_EQ(names,
              QStringList({"Left",
                           "Top",
                           "Width",
                           "Height",
                           "Tag",
                           "Cursor",
                           "Hint",
                           "HelpContext",
                           "BaseRelHeight",
                           "BaseRelLeft",
                           "BaseRelTop",
                           "BaseRelWidth",
                           "TabOrder",
                           "VisualBorderProps",
                           "VisualCharacterProps",
                           "VisualFillProps",
                           "VisualGeneralProps",
                           "VisualPadProps",
                           "VisualParagraphProps",
                           "VisualPosSizeProps",
                           "VisualTABOnProps",
                           "VisualValidationProps"}));
    // Relative bounds are written even at 0.
    EXPECT_FALSE(
        IsDefaultValue(box, FindStoredProperty(box->metaObject(), QStringLiteral("BaseRelTop"))));

    EXPECT_TRUE(box->PropHelper()->Translated(QStringLiteral("visualpossizeprops")));
    EXPECT_EQ(GlobalGeneralString, QStringLiteral("Position & Size (mm)"));
    EXPECT_FALSE(box->PropHelper()->Translated(QStringLiteral("TabOrder")));
    EXPECT_EQ(box->HlpCtx(QStringLiteral("FixedWidth")), 203);
    EXPECT_EQ(box->HlpCtx(QStringLiteral("Name")), 155);
    EXPECT_EQ(box->GetPlugInHint(), QStringLiteral("Text Box"));
    EXPECT_EQ(GlobalPlugInKind(255)->Hint, std::string("HTML Button"));
    EXPECT_EQ(GlobalPlugInKind(999), nullptr);
}

TEST_F(Elements, RenamingRefusesBadAndTakenNamesAndAlwaysTellsTheMainWindow)
{
    TSampleTextBox *first = AddBox(0, QStringLiteral("Box1"), 0);
    TSampleTextBox *second = AddBox(1, QStringLiteral("Box2"), 0);
    mainWindow.Received.clear();

    second->SetName(QString());
    EXPECT_EQ(second->Name(), QStringLiteral("Box2"));
    EXPECT_EQ(mainWindow.Count(0x8409), 0);

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("2abc is not a valid form element name!"));
    second->SetName(QStringLiteral("2abc"));
    EXPECT_EQ(second->Name(), QStringLiteral("Box2"));

    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("A form element named box1 already exists!"));
    second->SetName(QStringLiteral("box1"));
    EXPECT_EQ(second->Name(), QStringLiteral("Box2"));
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtWarning);

    second->SetName(QStringLiteral("Amount"));
    EXPECT_EQ(second->Name(), QStringLiteral("Amount"));
    EXPECT_EQ(mainWindow.Count(0x8409), 3);
    EXPECT_EQ(first->Name(), QStringLiteral("Box1"));
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(Elements, GeometryFollowsMillimetresRelativeBoundsAndPaperChanges)
{
    TPrinterPage *page = views[0];
    const QRect paper = page->PaperRect();
    TSampleTextBox *box
        = AddBox(0, QStringLiteral("Box1"), 0, paper.topLeft() + QPoint(paper.width() / 2, 0));
    EXPECT_NEAR(double(box->BaseRelLeft()), 50.0, 0.2);
    EXPECT_NEAR(double(box->VisualPosSizeProps()->PosSizeLeft()), 105.0, 0.3);

    // 10.005 mm is kept to two decimals and moves the control to the rounded pixel column.
    box->VisualPosSizeProps()->SetPosSizeLeft(10.005L);
    EXPECT_EQ(box->VisualPosSizeProps()->PosSizeLeft(), GlobalSetDecPlaces(10.01L, 2));
    EXPECT_EQ(box->x(), paper.left() + int(Round(10.01L * paper.width() / page->PageWidth())));

    // Resize with the paper: the relative place stays, the millimetres follow.
    box->move(paper.left() + paper.width() / 2, box->y());
    box->CalcRelBounds(true, false, false, false, false, false);
    const Extended rel = box->BaseRelLeft();
    page->SetPageSize(1); // Letter
    SendMessage(box, VRMSGPagePaperChange, 2, 1);
    EXPECT_EQ(box->BaseRelLeft(), rel);
    EXPECT_NEAR(double(box->VisualPosSizeProps()->PosSizeLeft()), 216.0 * double(rel) / 100, 0.3);

    // Without resize the millimetres stay and the relative place follows.
    const Extended mm = box->VisualPosSizeProps()->PosSizeLeft();
    page->SetPageSize(9); // A4
    SendMessage(box, VRMSGPagePaperChange, 2, 0);
    EXPECT_EQ(box->VisualPosSizeProps()->PosSizeLeft(), mm);
    EXPECT_NEAR(double(box->BaseRelLeft()), double(mm) / 210 * 100, 0.1);

    // An element not on a page converts nothing.
    auto *loose = CreateComponent<TSampleTextBox>(pages.get());
    const QRect before = loose->geometry();
    loose->VisualPosSizeProps()->SetPosSizeLeft(33);
    loose->CalcRelBounds(true, true, true, true, true, true);
    SendMessage(loose, VRMSGPagePaperChange, 2, 1);
    EXPECT_EQ(loose->geometry(), before);
    EXPECT_EQ(loose->BaseRelLeft(), 0);
}

TEST_F(Elements, TabWrapsAcrossPagesAndSkipsReadOnlyElements)
{
    GlobalFilling = true;
    TSampleTextBox *a = AddBox(0, QStringLiteral("A"), 1, {100, 100});
    TSampleTextBox *b = AddBox(0, QStringLiteral("B"), 0, {100, 200});
    TSampleTextBox *locked = AddBox(0, QStringLiteral("Locked"), 2, {100, 300});
    TSampleTextBox *c = AddBox(1, QStringLiteral("C"), 0);
    locked->VisualGeneralProps()->SetGeneralReadOnly(true);

    EXPECT_EQ(b->BuildTABOrderList(0), (QList<TVisualPgCtrl *> {b, a}));
    pages->SetActivePageIndex(1);
    c->SetFocus(QPoint(-1, -1));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), c);

    // From the last element of the last page to the first element of page 0.
    EXPECT_EQ(c->SelectCtrl(true, -1, INT_MAX), b);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(c->Focused());
    EXPECT_GE(mainWindow.Count(0x8414), 1);
    EXPECT_EQ(b->SelectCtrl(true, -1, INT_MAX), a);
    // The read-only one is passed over, on to the next page.
    EXPECT_EQ(a->SelectCtrl(true, -1, INT_MAX), c);
    EXPECT_EQ(c->SelectCtrl(false, -1, INT_MAX), a);

    QTest::mouseClick(locked, Qt::LeftButton);
    EXPECT_FALSE(locked->Focused());
    locked->SetFocus(QPoint(-1, -1));
    EXPECT_FALSE(locked->Focused());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(a->Focused());

    // Back from the first element of the first page: the last element of the last page.
    TSampleTextBox *d = AddBox(1, QStringLiteral("D"), 1, {100, 200});
    EXPECT_EQ(b->SelectCtrl(false, -1, INT_MAX), d);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(d->Focused());
}

TEST_F(Elements, PaintingPutsBorderAndFillWhereAdjRectBySays)
{
    TSampleTextBox *box = AddBox(0, QStringLiteral("Box1"), 0);
    box->VisualBorderProps()->SetBorderWidth(2);
    box->VisualBorderProps()->SetBorderColor(clRed);
    box->VisualFillProps()->SetFillColor(clBlue);
    box->VisualPadProps()->SetPadLeft(3);

    for (int zoom : {100, 200}) {
        views[0]->SetZoom(zoom);
        const int scale = zoom / 100;
        box->resize(65 * scale, 17 * scale);
        const QRect text = box->AdjRectBy(box->rect(), box->VisualBorderProps(),
                                          box->VisualPadProps(), false, false, true);
        EXPECT_EQ(text, box->rect().adjusted(5 * scale, 2 * scale, -2 * scale, -2 * scale));

        QImage image(box->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            box->DoPaint(box->rect(), p, true);
        }
        const int b = 2 * scale;
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red)) << zoom;
        EXPECT_EQ(image.pixelColor(b - 1, b - 1), QColor(Qt::red)) << zoom;
        EXPECT_EQ(image.pixelColor(b, b), QColor(Qt::blue)) << zoom;
        EXPECT_EQ(image.pixelColor(box->width() - 1, box->height() - 1), QColor(Qt::red)) << zoom;
        EXPECT_EQ(image.pixelColor(box->width() / 2, box->height() / 2), QColor(Qt::blue)) << zoom;
    }

    // Without a border a dotted outline shows while designing only.
    box->VisualBorderProps()->SetBorderWidth(0);
    box->VisualFillProps()->SetFillColor(clNone);
    for (bool filling : {false, true}) {
        GlobalFilling = filling;
        QImage image(box->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            box->DoPaint(box->rect(), p, true);
        }
        int green = 0;
        for (int x = 0; x < image.width(); ++x)
            green += image.pixelColor(x, 0) == QColor(Qt::green);
        EXPECT_EQ(green > image.width() / 4, !filling) << green;
    }
}

TEST_F(Elements, IterationVisitsEveryElementOfTheOwnerOnceAndStopsWhenAnswered)
{
    TSampleTextBox *first = AddBox(0, QStringLiteral("Box1"), 0);
    AddBox(1, QStringLiteral("Box2"), 0);
    auto *hidden = CreateComponent<TNonVisualPgCtrl>(pages.get());
    hidden->SetName(QStringLiteral("Mailer"));

    QStringList seen;
    EXPECT_FALSE(first->IterateCtrls(
        [&](TBasePgCtrl *element, void *) {
            seen << element->objectName();
            // Re-entering from a callback does nothing.
            EXPECT_FALSE(first->IterateCtrls([](TBasePgCtrl *, void *) { return true; }, nullptr));
            return false;
        },
        nullptr));
    EXPECT_EQ(seen, (QStringList {"Box1", "Box2", "Mailer"}));

    seen.clear();
    EXPECT_TRUE(first->IterateCtrls(
        [&](TBasePgCtrl *element, void *) {
            seen << element->objectName();
            return element == first;
        },
        nullptr));
    EXPECT_EQ(seen, QStringList {"Box1"});
}

TEST_F(Elements, DoubleClickEditorsSetTextAndHintAndMarkTheProjectChanged)
{
    TSampleTextBox *box = AddBox(0, QStringLiteral("Box1"), 0);
    box->SetText(QStringLiteral("old"));
    GlobalProjectChanged = false;

    ScriptedDialogs().ExpectModal([](QDialog &dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Default Text"));
        dlg.findChild<QLineEdit *>()->setText(QStringLiteral("new"));
        return int(QDialog::Accepted);
    });
    QString value;
    EXPECT_TRUE(box->ShowPropEditor(QStringLiteral("GeneralDefaultText"), false, value));
    EXPECT_EQ(box->Text(), QStringLiteral("new"));
    EXPECT_EQ(box->VisualGeneralProps()->GeneralDefaultText(), QStringLiteral("new"));
    EXPECT_TRUE(GlobalProjectChanged);

    // The hint editor is multi-line; cancelling changes nothing.
    ScriptedDialogs().ExpectModal([](QDialog &dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Hint When Filling"));
        dlg.findChild<QPlainTextEdit *>()->setPlainText(QStringLiteral("ignored"));
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(box->ShowPropEditor(QStringLiteral("GeneralHint"), false, value));
    EXPECT_TRUE(box->Hint().isEmpty());

    // Undo and redo replay an edit through the message.
    const QString property = QStringLiteral("GeneralHint"), hint = QStringLiteral("Type your name");
    SendMessage(box, VRMSGDblClickDlgSetPropVal, reinterpret_cast<std::uintptr_t>(&property),
                reinterpret_cast<std::intptr_t>(&hint));
    EXPECT_EQ(box->VisualGeneralProps()->GeneralHint(), hint);
    ScriptedDialogs().VerifyAllUsed();
}
