#pragma once
// A page surface with a surface designer over it, driven with real mouse and key
// events on the engine; the host's answers are those of the designer program
// (elements and marked containers may be selected), and every event is counted.

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CSurfaceDesigner.h"
#include "GlobalsGuard.h"
#include "SampleTextBox.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

struct TMovedReport
{
    QList<QWidget *> Ctrls;
    int Key = 0;
    TSurfaceDesignerGrabber Grabber = dgNone;
    bool Horz = false;
    bool Vert = false;
};

class DesignerTest : public ::testing::Test
{
protected:
    // First, so that the globals come back after everything else is gone.
    TGlobalsGuard m_globals;

    void SetUp() override
    {
        GlobalPagesPageControl = pages.get();
        pages->resize(920, 1000);
        view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page")));
        view->resize(900, 960);
        pages->show();
        designer = std::unique_ptr<TSurfaceDesigner>(CreateComponent<TSurfaceDesigner>(nullptr));
        designer->OnCanSelect = [](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
            allow = qobject_cast<TBasePgCtrl *>(ctrl) || SurfaceDesignerAcceptsControls(ctrl);
        };
        designer->OnCtrlMoved
            = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls, int key,
                     TSurfaceDesignerGrabber grabber, bool horz, bool vert) {
                  Moved.append({ctrls, key, grabber, horz, vert});
              };
        designer->SetSurface(view);
        designer->SetActive(true);
    }
    void TearDown() override
    {
        designer.reset();
        pages.reset();
    }

    TSurfaceDesignerEngine *Engine() const { return designer->Engine(); }

    template<class T = TSampleTextBox>
    T *Add(const QString &name, const QRect &at, QWidget *parent = nullptr)
    {
        auto *element = CreateComponent<T>(pages.get());
        element->setParent(parent ? parent : view);
        element->SetName(name);
        element->setGeometry(at);
        element->show();
        return element;
    }
    // A container the designer may select and look into.
    QFrame *AddContainer(const QRect &at)
    {
        auto *frame = new QFrame(view);
        frame->setProperty(CSURFACEDESIGNER_ACCEPTS_CONTROLS, true);
        frame->setGeometry(at);
        frame->show();
        return frame;
    }

    // Where a point of a control's parent lies on the engine.
    QPoint OnEngine(QWidget *ctrl, const QPoint &inParent) const
    {
        return Engine()->mapFrom(Engine()->window(),
                                 ctrl->parentWidget()->mapTo(Engine()->window(), inParent));
    }
    QPoint Centre(QWidget *ctrl) const { return OnEngine(ctrl, ctrl->geometry().center()); }

    void Click(const QPoint &at, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(Engine(), Qt::LeftButton, mods, at);
        QTest::mouseRelease(Engine(), Qt::LeftButton, mods, at);
    }
    // Press, move in a few steps, release: what a hand does.
    void Drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {},
              Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(Engine(), button, mods, from);
        for (int i = 1; i <= 3; ++i)
            Move(from + (to - from) * i / 3, button, mods);
        QTest::mouseRelease(Engine(), button, mods, to);
    }
    // A move with the button held, as the window system reports it.
    void Move(const QPoint &at, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers mods = {})
    {
        QMouseEvent event(QEvent::MouseMove, at, Engine()->mapToGlobal(at), Qt::NoButton, button,
                          mods);
        QApplication::sendEvent(Engine(), &event);
    }
    QList<QWidget *> Selected() const { return Engine()->SelectedCtrls(); }
    // What the user sees of the page, painting done.
    QImage Shot() const
    {
        QApplication::processEvents();
        return view->grab().toImage();
    }

    QList<TMovedReport> Moved;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    TPrinterPage *view = nullptr;
    std::unique_ptr<TSurfaceDesigner> designer;
};
