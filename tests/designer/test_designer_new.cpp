// New documents and new elements in the designer window: paper and web forms to
// start from, elements placed from the palette's choice with a band or a click,
// and elements made on request by message.

#include "DesignerTestWindow.h"

#include "CPlugIns.h"

#include <QComboBox>
#include <QSignalSpy>

namespace {
// The text box plug-in's kind.
constexpr int kTextBox = 20;

class DesignerNew : public DesignerWindowTest
{
protected:
    // The designer with the real plug-ins and no document.
    void Start()
    {
        StartWithPlugIns();
        ASSERT_TRUE(GlobalPlugIns && GlobalPlugIns->Installed(kTextBox));
    }
    // A press, moves with the button held and a release on the page designer.
    void Band(const QPoint &from, const QPoint &by)
    {
        QTest::mousePress(Engine(), Qt::LeftButton, {}, from);
        for (int i = 1; i <= 3; ++i) {
            const QPoint at = from + by * i / 3;
            QMouseEvent move(QEvent::MouseMove, at, Engine()->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(Engine(), &move);
        }
        QTest::mouseRelease(Engine(), Qt::LeftButton, {}, from + by);
        QCoreApplication::processEvents();
    }
    // A point on the active page's paper, in the page designer's coordinates.
    QPoint OnPaper(const QPoint &p) const
    {
        TPrinterPage *page = window->ActivePage();
        return Engine()->mapFrom(window.get(),
                                 page->mapTo(window.get(), page->PaperRect().topLeft() + p));
    }
    static QList<TVisualPgCtrl *> Elements()
    {
        QList<TVisualPgCtrl *> found;
        for (QObject *child : GlobalPgScrollBox(GlobalActivePgIdx())->children())
            if (auto *element = qobject_cast<TVisualPgCtrl *>(child))
                found.append(element);
        return found;
    }
};

TEST_F(DesignerNew, ElementsArePlacedWithABandAtLeastEightByEightOrAtTheirOwnSize)
{
    Start();
    Trigger("FileNewPaper");
    ASSERT_TRUE(window->HasDocument());
    EXPECT_TRUE(window->DesignMode());
    EXPECT_EQ(window->PagesPageControl()->PageCount(), 1);
    EXPECT_TRUE(window->ActivePage()->isVisible());
    EXPECT_FALSE(Enabled("PageDelete"));
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_FALSE(window->DesignerUndoRedo().CanUndo());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] - Velora Designer"));

    QSignalSpy cleared(window.get(), &TDesignerMainForm::PaletteChoiceCleared);
    window->SetPaletteKind(kTextBox);
    const QPoint at = OnPaper(QPoint(40, 40));
    Band(at, QPoint(3, 2));
    ASSERT_EQ(Elements().size(), 1);
    TVisualPgCtrl *small = Elements().front();
    EXPECT_EQ(small->size(), QSize(8, 8));
    EXPECT_EQ(Selected(), QList<QWidget *> {small});
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_EQ(window->PaletteKind(), 0);
    EXPECT_TRUE(GlobalProjectChanged);
    EXPECT_TRUE(window->isWindowModified());

    // The choice is used once: the next press selects again.
    Band(OnPaper(QPoint(200, 40)), QPoint(40, 30));
    EXPECT_EQ(Elements().size(), 1);

    // A click without a band: the kind's own size at this zoom.
    window->SetPaletteKind(kTextBox);
    const int zoom = window->ActivePage()->Zoom();
    const QSize own = GlobalPlugIns->PlugInInstance(kTextBox, false, nullptr)->size();
    Band(OnPaper(QPoint(100, 200)), QPoint(0, 0));
    ASSERT_EQ(Elements().size(), 2);
    EXPECT_EQ(Elements().back()->size(),
              QSize(qRound(own.width() * zoom / 100.0), qRound(own.height() * zoom / 100.0)));
    EXPECT_NE(Elements().back()->Name(), small->Name());
    SaveShot(QStringLiteral("designer_new_elements.png"));

    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Elements().isEmpty());
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Elements(), QList<TVisualPgCtrl *> {small});
}

TEST_F(DesignerNew, AnElementMadeOnRequestHasTheSizeAskedAndIsSelected)
{
    Start();
    Trigger("FileNewPaper");
    const auto result = SendMessage(window.get(), VRMSGCreateElement,
                                    std::uintptr_t(kTextBox | (1 << 16)), 50 | (40 << 16));
    auto *element = reinterpret_cast<TVisualPgCtrl *>(result);
    ASSERT_TRUE(element);
    EXPECT_EQ(element->size(), QSize(50, 40));
    EXPECT_EQ(Selected(), QList<QWidget *> {element});
    // A kind nobody installed makes nothing.
    EXPECT_EQ(SendMessage(window.get(), VRMSGCreateElement, 9999, 50 | (40 << 16)), 0);
}

TEST_F(DesignerNew, WebFormsFitTheirBrowserWindowAndAskBeforeReplacingChanges)
{
    Start();
    Trigger("FileNewPaper");
    SendMessage(window.get(), VRMSGCreateElement, kTextBox, 50 | (40 << 16));
    ASSERT_TRUE(GlobalProjectChanged);

    // Cancel keeps the changed document.
    ScriptedDialogs().ExpectMessage(mrCancel, QStringLiteral("Save changes"));
    Trigger("FileNewWeb800");
    EXPECT_EQ(Elements().size(), 1);

    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("Save changes"));
    Trigger("FileNewWeb800");
    ASSERT_TRUE(window->HasDocument());
    EXPECT_TRUE(Elements().isEmpty());
    TPrinterPage *page = window->ActivePage();
    EXPECT_EQ(page->PageWidth(), 200);
    EXPECT_EQ(page->PageHeight(), 108);
    EXPECT_FALSE(page->ShowMargins());
    EXPECT_FALSE(window->DesignerUndoRedo().CanUndo());
}

TEST_F(DesignerNew, GrabbersGrowWithTheZoomWithinFiveAndEight)
{
    Start();
    Trigger("FileNewPaper");
    window->ZoomBox()->setCurrentText(QStringLiteral("400 %"));
    QTest::keyClick(window->ZoomBox(), Qt::Key_Return);
    EXPECT_EQ(window->SurfaceDesigner1()->GrabbersSize(), 8);
    EXPECT_EQ(window->SurfaceDesigner1()->GrabbersOfs(), 4);
    window->ZoomBox()->setCurrentText(QStringLiteral("100 %"));
    QTest::keyClick(window->ZoomBox(), Qt::Key_Return);
    EXPECT_EQ(window->SurfaceDesigner1()->GrabbersSize(), 5);
    EXPECT_EQ(window->SurfaceDesigner1()->GrabbersOfs(), 2);
}
} // namespace
