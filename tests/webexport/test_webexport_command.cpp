// VeloraDesigner --export-html OUT.html DOC, as a script runs it: every example
// form exports to a page tidy finds no error in and a PHP script php accepts;
// each failure ends with its reason and a non-zero status.

#include "CFillerMainForm.h"
#include "CProjectIO.h"
#include "CProjectInfo.h"
#include "CWebFormExport.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"
#include "WebExportTestKinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
class WebExportCommand : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    QTemporaryDir dir;

    void SetUp() override
    {
        ScriptedDialogs().Reset();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const QString &name) const { return dir.filePath(name); }

    // The designer as a script on a server starts it: no display, settings of its own.
    TRun Designer(const QStringList &arguments) const
    {
        return RunProgram("VeloraDesigner", arguments, Path(QStringLiteral("config")));
    }

    // A copy of the example with export settings given through the model, as the
    // export window would store them.
    QString Prepared(const QString &example,
                     const std::function<void(TWebExportSettings &)> &settle)
    {
        TFillerMainForm window;
        window.SetRecoveryJournal(false);
        window.SetPlugInFolder(QStringLiteral(VELORA_BIN_DIR "/"));
        window.FormCreate();
        window.LoadPlugIns();
        const QString copy = Path(QFileInfo(example).fileName());
        if (!window.OpenDocument(example))
            return {};
        TWebExportSettings settings
            = TWebExportSettings::FromProject(window.ProjectInfo(), example);
        settle(settings);
        settings.ToProject(window.ProjectInfo());
        const bool saved = SaveDocument(copy, window.ProjectInfo());
        window.CloseDocument();
        return saved ? copy : QString();
    }
};

// The submit element of an example: its first button, else its last exported element;
// the e-mail and thank-you texts refer to every exported element.
void SettleExample(TWebExportSettings &settings)
{
    const QList<TWebExportElement> elements = WebExportElements();
    if (elements.isEmpty())
        return;
    settings.Submit = elements.constLast().Element->Name();
    for (const TWebExportElement &item : elements)
        if (item.Kind == TWebExportKind::Button) {
            settings.Submit = item.Element->Name();
            break;
        }
    settings.SubmitAction = TWebExportSubmitAction::PhpEmail;
    settings.Action = QStringLiteral("submit.php");
    settings.Email[0].From = QStringLiteral("form@example.org");
    settings.Email[0].To = QStringLiteral("office@example.org");
    settings.Email[0].Subject = QStringLiteral("Form: #!") + elements.constFirst().Element->Name();
    QString body;
    for (const TWebExportElement &item : elements)
        body += item.Element->Name() + QStringLiteral(": #!") + item.Element->Name()
            + QStringLiteral("\r\n");
    settings.Email[0].Body = body;
    settings.DisplayText = QStringLiteral("Thank you, #!") + elements.constFirst().Element->Name();
}

TEST_F(WebExportCommand, EveryExampleExportsToAValidPageAndScript)
{
    if (!HaveTool("tidy") || !HaveTool("php"))
        GTEST_SKIP() << "tidy or php is not installed (Debian packages tidy, php-cli)";
    const QStringList examples = QDir(QStringLiteral(VELORA_BUILD_DIR "/examples"))
                                     .entryList({QStringLiteral("*.vld")}, QDir::Files);
    ASSERT_FALSE(examples.isEmpty());
    for (const QString &name : examples) {
        SCOPED_TRACE(name.toStdString());
        const QString document
            = Prepared(QStringLiteral(VELORA_BUILD_DIR "/examples/") + name, SettleExample);
        ASSERT_FALSE(document.isEmpty());
        const QString folder = Path(QFileInfo(name).completeBaseName());
        QDir().mkpath(folder);
        const QString html = folder + QStringLiteral("/page.html");
        const TRun run = Designer({QStringLiteral("--export-html"), html, document});
        // A form of texts and pictures alone has nothing to submit.
        if (run.Err.contains(QLatin1String(SWebExportNothing))) {
            EXPECT_EQ(run.ExitCode, 1);
            EXPECT_FALSE(QFile::exists(html));
            continue;
        }
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.contains(QStringLiteral("Export to \"page.html\" completed.")))
            << run.Out.toStdString();
        const TRun tidy = RunTool(QStringLiteral("tidy"),
                                  {QStringLiteral("-errors"), QStringLiteral("-q"), html});
        EXPECT_LT(tidy.ExitCode, 2) << tidy.Err.toStdString();
        EXPECT_FALSE(tidy.Err.contains(QLatin1String("Error:"))) << tidy.Err.toStdString();
        const TRun lint = RunTool(QStringLiteral("php"),
                                  {QStringLiteral("-l"), folder + QStringLiteral("/submit.php")});
        EXPECT_EQ(lint.ExitCode, 0) << lint.Out.toStdString() << lint.Err.toStdString();
    }
}

// Each way the command can fail ends non-zero with the real reason on standard error.
TEST_F(WebExportCommand, FailuresGiveTheirReason)
{
    const QString example = QStringLiteral(VELORA_BUILD_DIR "/examples/Feedback.vld");
    const auto expectFailure
        = [this](const QStringList &arguments, const QString &reason, int code = 1) {
              const TRun run = Designer(arguments);
              EXPECT_EQ(run.ExitCode, code) << arguments.join(u' ').toStdString();
              EXPECT_TRUE(run.Err.contains(reason)) << reason.toStdString() << "\n---\n"
                                                    << run.Err.toStdString();
          };
    const QString out = Path(QStringLiteral("out.html"));
    expectFailure({QStringLiteral("--export-html"), out, Path(QStringLiteral("missing.vld"))},
                  QStringLiteral("missing.vld\" does not exist."));
    QFile damaged(Path(QStringLiteral("damaged.vld")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(200, 'x'));
    damaged.close();
    const TRun run = Designer({QStringLiteral("--export-html"), out, damaged.fileName()});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_FALSE(run.Err.trimmed().isEmpty());
    // The examples come without a submit element.
    expectFailure({QStringLiteral("--export-html"), out, example},
                  QStringLiteral("Please choose which form element is to be used as a Submit "
                                 "button."));
    EXPECT_FALSE(QFile::exists(out));

    const QString document = Prepared(example, SettleExample);
    ASSERT_FALSE(document.isEmpty());
    QFile file(Path(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    expectFailure(
        {QStringLiteral("--export-html"), file.fileName() + QStringLiteral("/out.html"), document},
        QStringLiteral("Export failed.\nCould not write \"%1/out.html\": Not a directory")
            .arg(file.fileName()));
    expectFailure({QStringLiteral("--export-html"), document, document},
                  QStringLiteral("is the document itself"));
    expectFailure({QStringLiteral("--export-html"), out}, QStringLiteral("needs the document"), 2);
    expectFailure({QStringLiteral("--export-html"), out, document, document},
                  QStringLiteral("Only one document"), 2);

    // And the same document exports once it has its settings; again over the old files.
    for (int pass = 0; pass < 2; ++pass) {
        const TRun ok = Designer({QStringLiteral("--export-html"), out, document});
        EXPECT_EQ(ok.ExitCode, 0) << ok.Err.toStdString();
    }
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("submit.php"))));
}
} // namespace
