#pragma once
// The designer's window as the tests use it: started offscreen on a document of
// text boxes built through the model, driven with real mouse and key events on
// the page designer's overlay.

#include "CAppPaths.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CClassRegistry.h"
#include "CComponentStream.h"
#include "CDesignerMainForm.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CVisualPgCtrlNumeric.h"
#include "DesignerStart.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A text kind of the tests with every group published; it types like a text box.
class TDesignTestBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupTABOn *VisualTABOnProps READ VisualTABOnProps)

public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return 20; }
    QWidget *DoCreateEdit(const QPoint &point) override
    {
        return new TBaseRTEditFocusCtrl(this, BaseRTEditFocusCtrlParams(this, point), false);
    }
};

class DesignerWindowTest : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;

    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        QFile::remove(GlobalAppVisualClipboardFile());
        QApplication::clipboard()->clear();
        ScriptedDialogs().Reset();
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }

    // Pages of boxes Box<page><n>, three a page unless told, in design mode; more adds
    // what else a test wants in the document.
    TDesignerMainForm &Open(int pages = 2, int boxesPerPage = 3,
                            const std::function<void(TDocumentBuilder &)> &more = {})
    {
        const QString path = dir.filePath(QStringLiteral("design.vld"));
        {
            TDocumentBuilder doc(pages);
            for (int p = 0; p < pages; ++p)
                for (int i = 0; i < boxesPerPage; ++i) {
                    auto *box = doc.Add<TDesignTestBox>(
                        p, QStringLiteral("Box%1%2").arg(p + 1).arg(i + 1),
                        QRect(80 + 40 * i, 80 + 70 * i, 200, 30));
                    box->SetTabOrder(i + 1);
                }
            if (more)
                more(doc);
            EXPECT_TRUE(SaveForDesigning(doc, path));
        }
        window = StartDesigner(dir.filePath(QStringLiteral("plugins/")), path);
        EXPECT_TRUE(window->HasDocument());
        return *window;
    }

    // The designer with the real plug-ins of the build and no document.
    void StartWithPlugIns() { window = StartDesigner(QStringLiteral(VELORA_BIN_DIR "/")); }

    static TDesignTestBox *Box(const QString &name)
    {
        return qobject_cast<TDesignTestBox *>(Global_FormElementRef(name));
    }
    TSurfaceDesignerEngine *Engine() const { return window->SurfaceDesigner1()->Engine(); }
    QList<QWidget *> Selected() const { return Engine()->SelectedCtrls(); }
    QPoint OnEngine(const QWidget *ctrl, const QPoint &inCtrl) const
    {
        return Engine()->mapFrom(window.get(), ctrl->mapTo(window.get(), inCtrl));
    }
    // At a point of the control, its centre unless told.
    void Click(QWidget *ctrl, Qt::KeyboardModifiers mods = {}, QPoint inCtrl = QPoint(-1, -1))
    {
        const QPoint at = OnEngine(ctrl, inCtrl.x() < 0 ? ctrl->rect().center() : inCtrl);
        QTest::mousePress(Engine(), Qt::LeftButton, mods, at);
        QTest::mouseRelease(Engine(), Qt::LeftButton, mods, at);
        QCoreApplication::processEvents();
    }
    // Press, a few moves with the button held, release.
    void Drag(QWidget *ctrl, const QPoint &by)
    {
        const QPoint from = OnEngine(ctrl, ctrl->rect().center());
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
    // A key as the user presses it with the page designer focused.
    void Key(int key, Qt::KeyboardModifiers mods = {})
    {
        Engine()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(Engine(), Qt::Key(key), mods);
        QCoreApplication::processEvents();
    }
    void Trigger(const char *action)
    {
        QAction *a = window->Action(QString::fromLatin1(action));
        ASSERT_TRUE(a) << action;
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
        QCoreApplication::processEvents();
    }
    bool Enabled(const char *action) const
    {
        return window->Action(QString::fromLatin1(action))->isEnabled();
    }
    void ShowPage(int index)
    {
        QTabBar *tabs = window->PagesPageControl()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        QCoreApplication::processEvents();
    }
    // The document's stored trees, as saving writes them.
    static QByteArray Trees()
    {
        TMemoryStream stream;
        WriteComponent(stream, GlobalProjectProps);
        for (TProjectPropsPageProps *page : GlobalProjectProps->PageProps())
            WriteComponent(stream, page);
        WriteComponent(stream, GlobalPagesPageControl);
        return stream.Data();
    }
    void SaveShot(const QString &name)
    {
        QCoreApplication::processEvents();
        QDir().mkpath(QStringLiteral("screenshots"));
        EXPECT_TRUE(window->grab().save(QStringLiteral("screenshots/") + name));
    }

    QTemporaryDir dir;
    std::unique_ptr<TDesignerMainForm> window;
};
