#pragma once
// The filler's window as the tests use it: created, shown and active on the
// offscreen platform, with plug-ins from a folder of the test's own.

#include "CFillerMainForm.h"

#include <QCoreApplication>
#include <QDir>
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
