// Every test program starts here: a QApplication on the offscreen platform,
// settings in a temporary folder, scripted dialogs and the built-in printer.

#include "CAppPaths.h"
#include "CPrinterService.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
TScriptedDialogService *g_dialogs = nullptr;

// Each test starts with an empty script and must use what it scripted.
class TDialogScriptListener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override { g_dialogs->Reset(); }
};
} // namespace

TScriptedDialogService &ScriptedDialogs()
{
    return *g_dialogs;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    if (!config.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());

    QApplication app(argc, argv);
    GlobalInitPaths();

    auto dialogs = std::make_unique<TScriptedDialogService>();
    g_dialogs = dialogs.get();
    SetDialogService(std::move(dialogs));
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TDialogScriptListener);
    return RUN_ALL_TESTS();
}
