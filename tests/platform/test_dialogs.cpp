#include "CDialogService.h"
#include "ScriptedDialogService.h"

#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(Dialogs, ScriptedServiceAnswersInOrderAndRecordsWhatWasShown)
{
    auto &dialogs = ScriptedDialogs();
    dialogs.ExpectMessage(mrNo, QStringLiteral("Save changes"));
    dialogs.ExpectSaveFile(QStringLiteral("/tmp/x.vld"));
    dialogs.ExpectModal([](QDialog &dlg) {
        dlg.findChild<QLineEdit *>()->setText(QStringLiteral("typed"));
        return int(QDialog::Accepted);
    });

    const int answer = DialogService().MessageBox({QStringLiteral("Velora"),
                                                   QStringLiteral("Save changes to Form1?"),
                                                   mtConfirmation, mbYesNoCancel, 0});
    EXPECT_EQ(answer, mrNo);
    EXPECT_EQ(DialogService().SaveFileName({}), QStringLiteral("/tmp/x.vld"));
    QDialog dlg;
    auto *edit = new QLineEdit(&dlg);
    EXPECT_EQ(DialogService().ExecModal(dlg), int(QDialog::Accepted));
    EXPECT_EQ(edit->text(), QStringLiteral("typed"));
    DialogService().Beep();

    ASSERT_EQ(dialogs.Shown().size(), 3);
    EXPECT_EQ(dialogs.Shown()[0].Type, mtConfirmation);
    EXPECT_EQ(dialogs.Shown()[0].Buttons, mbYesNoCancel);
    EXPECT_EQ(dialogs.Beeps(), 1);
    dialogs.VerifyAllUsed();
}

TEST(Dialogs, FiltersConvertToQtNameFilters)
{
    EXPECT_EQ(FilterToNameFilters(QStringLiteral("Velora Documents (*.VLD)|*.VLD")),
              QStringList({"Velora Documents (*.VLD)"}));
    EXPECT_EQ(FilterToNameFilters(QStringLiteral(
                  "All Supported Formats|*.bmp;*.png|PNG Image Files (*.png)|*.png|")),
              QStringList({"All Supported Formats (*.bmp *.png)", "PNG Image Files (*.png)"}));
    EXPECT_TRUE(FilterToNameFilters(QString()).isEmpty());
}
