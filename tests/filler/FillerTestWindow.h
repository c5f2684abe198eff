#pragma once
// The filler's window as the tests use it: created, shown and active on the
// offscreen platform, with plug-ins from a folder of the test's own.

#include "CAppPaths.h"
#include "CFillerMainForm.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Opens path (when given) once the window is shown, as the command line does.
inline std::unique_ptr<TFillerMainForm> StartFillerWindow(const QString &plugInFolder,
                                                          const QString &path = QString())
{
    auto window = std::make_unique<TFillerMainForm>();
    window->SetPlugInFolder(plugInFolder);
    window->FormCreate();
    window->SetStartDocument(path);
    window->resize(1000, 800);
    window->show();
    QCoreApplication::processEvents();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    return window;
}

// Saved under the tests' folder (build/tests/screenshots), to be looked at.
inline void SaveScreenshot(QWidget &widget, const QString &name)
{
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(widget.grab().save(QStringLiteral("screenshots/") + name)) << name.toStdString();
}

// A fixture around one filler window: fresh settings, every scripted answer used,
// the globals put back; plug-ins (none unless a test adds them) from its own folder.
class TFillerWindowTest : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        ScriptedDialogs().Reset();
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    TFillerMainForm &Start(const QString &path = QString())
    {
        window = StartFillerWindow(dir.filePath(QStringLiteral("plugins/")), path);
        return *window;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
