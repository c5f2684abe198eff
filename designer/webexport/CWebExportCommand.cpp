#include "CWebExportCommand.h"

#include "CDocumentFile.h"
#include "CFillerMainForm.h"
#include "CWebFormExport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {
const QCommandLineOption kExportHtml(
    QStringLiteral("export-html"),
    QStringLiteral("Export the document as an HTML web form to <out.html> (with its pictures and "
                   "its submit script beside it) using the export settings stored in the "
                   "document, without a window, then quit. Existing files are replaced."),
    QStringLiteral("out.html"));

struct TExportRequest
{
    QString Output;
    QString Document;
};

void Complain(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(u'\r', u'\n')));
}

int Export(TFillerMainForm &window, const TExportRequest &request)
{
    if (const QString problem = DocumentSourceProblem(request.Document); !problem.isEmpty()) {
        Complain(
            QStringLiteral("Not exported: the document \"%1\" %2.").arg(request.Document, problem));
        return 1;
    }
    if (!window.OpenDocument(request.Document))
        return 1;
    TWebExportSettings settings
        = TWebExportSettings::FromProject(window.ProjectInfo(), request.Document);
    const QFileInfo output(request.Output);
    settings.FileName = output.fileName();
    if (WebExportElements().isEmpty()) {
        Complain(QStringLiteral("Not exported: %1").arg(QLatin1String(SWebExportNothing)));
        return 1;
    }
    if (const std::optional<TWebExportProblem> problem = CheckWebExport(settings)) {
        Complain(QStringLiteral("Not exported: %1").arg(problem->Message));
        return 1;
    }
    TWebExportFiles files = WebExportFiles(settings, output.absolutePath());
    files.Html = output.absoluteFilePath();
    for (const QString &path : {files.Html, files.Script}) {
        if (!path.isEmpty() && IsSameFile(path, request.Document)) {
            Complain(QStringLiteral("Not exported: \"%1\" is the document itself.").arg(path));
            return 1;
        }
    }
    if (const QString error = WriteWebExport(settings, files); !error.isEmpty()) {
        Complain(QStringLiteral("Export failed.\r") + error);
        return 1;
    }
    std::printf("%s\n", qPrintable(WebExportCompletedMessage(files)));
    if (!files.Script.isEmpty())
        std::printf("Submit script: %s\n", qPrintable(QDir::toNativeSeparators(files.Script)));
    return 0;
}
} // namespace

TProgramCommands WebExportCommands()
{
    auto request = std::make_shared<TExportRequest>();
    TProgramCommands commands;
    commands.Options = {kExportHtml};
    commands.Read = [request](const QCommandLineParser &parser, const QStringList &positional,
                              bool &wanted) -> QString {
        if (!parser.isSet(kExportHtml))
            return {};
        wanted = true;
        request->Output = parser.value(kExportHtml);
        request->Document = positional.value(0);
        if (request->Output.isEmpty())
            return QStringLiteral("--export-html needs the name of the HTML file to write.");
        if (request->Document.isEmpty())
            return QStringLiteral("--export-html needs the document to export.");
        if (positional.size() > 1)
            return QStringLiteral("Only one document can be given.");
        if (parser.isSet(QStringLiteral("screenshot")))
            return QStringLiteral("--export-html opens no window to take a screenshot of.");
        return {};
    };
    commands.Run = [request](TFillerMainForm &window) {
        return Export(window, *request);
    };
    return commands;
}
