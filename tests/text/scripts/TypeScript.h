#pragma once
// Typing text in any script as a keyboard layout of that script does: one key
// event a character, carrying the character; a CR is the Enter key.

#include <QApplication>
#include <QTest>

inline void TypeScript(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        const bool pair
            = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString typed = text.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, typed, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, typed, Qt::NoModifier);
    }
}

inline void TypeScript(const QString &text)
{
    TypeScript(QApplication::focusWidget(), text);
}
