#pragma once
// The generated example forms in the real window with the real plug-ins, and
// the user's moves on them: click into a box by its name, type, TAB.

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "FillerTestWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

inline TVisualPgCtrl *Element(const QString &name)
{
    return qobject_cast<TVisualPgCtrl *>(Global_FormElementRef(name));
}

inline TVisualPgCtrl *Element(const char *name)
{
    return Element(QString::fromLatin1(name));
}

// A writable copy of build/examples/<example> in dir, open in a new window.
inline std::unique_ptr<TFillerMainForm> OpenExample(QTemporaryDir &dir, const char *example)
{
    const QString path = dir.filePath(QString::fromLatin1(example));
    EXPECT_TRUE(
        QFile::copy(QStringLiteral(VELORA_BUILD_DIR "/examples/") + QLatin1String(example), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    auto window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    EXPECT_TRUE(window->HasDocument());
    return window;
}

inline void ClickInto(const char *name)
{
    TVisualPgCtrl *element = Element(name);
    ASSERT_NE(element, nullptr) << name;
    QTest::mouseClick(element, Qt::LeftButton, {}, element->rect().center());
}

inline void TypeInto(const QString &text)
{
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, text);
}

inline void Tab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}
