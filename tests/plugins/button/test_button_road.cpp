// The Feedback example in the filler with the real plug-ins: the user types a
// name, clicks "Check and Save" with the mouse, is told the form passed, and
// the form is saved; with the name left empty the click saves nothing.

#include "CBasePgCtrl.h"
#include "ExampleForms.h"

#include <QDialog>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QWidget *Widget(const char *name)
{
    return qobject_cast<QWidget *>(Global_FormElementRef(QString::fromLatin1(name)));
}

void Click(const char *name)
{
    QWidget *button = Widget(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    // The list runs once the mouse event is done.
    QApplication::processEvents();
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(ButtonRoad, CheckAndSaveValidatesThenSavesTheFeedbackForm)
{
    TGlobalsGuard globals;
    ScriptedDialogs().Reset();
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Feedback.vld");
    ASSERT_NE(Widget("CheckAndSave"), nullptr);
    EXPECT_EQ(Widget("CheckAndSave")->property("ClassTypeID").toInt(), 105);
    SaveScreenshot(*window, QStringLiteral("feedback-form.png"));
    const QString path = window->DocumentPath();
    const QByteArray opened = Read(path);

    // Nothing typed: the validation window lists what failed, and Save does not run.
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("ValidationFailureDlg"));
        return int(mrOk);
    });
    Click("CheckAndSave");
    EXPECT_EQ(ScriptedDialogs().PendingAnswers(), 0);
    EXPECT_EQ(ScriptedDialogs().Shown().size(), 1);
    EXPECT_EQ(Read(path), opened);

    ClickInto("YourName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Form validation passed!"));
    Click("CheckAndSave");
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_NE(Read(path), opened);
    window.reset();

    window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    EXPECT_EQ(Element("YourName")->Text(), QStringLiteral("Ada Lovelace"));
    window.reset();
    ScriptedDialogs().VerifyAllUsed();
}
