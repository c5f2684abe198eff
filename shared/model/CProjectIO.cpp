#include "CProjectIO.h"

#include "CComponentStream.h"
#include "CDialogService.h"
#include "CDocumentFile.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CSplashForm.h"

#include <QFileInfo>
#include <memory>

namespace {
void ShowError(const QString &text)
{
    Global_MessageDlg(GlobalAppTitle(), text, mtError, mbOK, 0);
}

void ReportLoadErrorPlainly(bool properties, const QStringList &missing)
{
    ShowError(properties
                  ? QStringLiteral("The document holds properties that this version does not know.")
                  : QStringLiteral("The document needs element kinds that are not installed: %1.")
                        .arg(missing.join(QStringLiteral(", "))));
}

// "<context>: Property <Name> does not exist", however the context reads.
bool IsUnknownPropertyMessage(const QString &message)
{
    const qsizetype colon = message.indexOf(u':');
    if (colon < 0)
        return false;
    QString rest = message.mid(colon + 1).trimmed();
    const qsizetype space = rest.indexOf(u' ');
    if (space < 0)
        return false;
    const qsizetype nameEnd = rest.indexOf(u' ', space + 1);
    if (nameEnd < 0)
        return false;
    rest = rest.left(space) + rest.mid(nameEnd);
    return rest.compare(QStringLiteral("property does not exist"), Qt::CaseInsensitive) == 0;
}

void ReadRoots(TMemoryStream &stream, TProjectInfo &info)
{
    ReadComponent(stream, GlobalProjectProps);
    const int pages = GlobalProjectProps->StreamedPageCount();
    for (int i = 0; i < pages; ++i) {
        std::unique_ptr<TComponent> read(ReadNewComponent(stream, nullptr));
        auto *page = dynamic_cast<TProjectPropsPageProps *>(read.get());
        if (!page)
            throw EReadError(QString::fromLatin1(SReadError));
        read.release();
        GlobalProjectProps->AddPage(page);
    }
    ReadComponent(stream, GlobalPagesPageControl);
    // Documents may end before the project settings; those keep their defaults.
    if (!stream.AtEnd())
        ReadComponent(stream, &info);
}
} // namespace

namespace {
bool ReadDocument(const QString &path, TProjectInfo &info, std::uint32_t *versionTag,
                  const TLoadErrorReport &report, const TLoadPoll &poll)
{
    const TLoadErrorReport explain = report ? report : ReportLoadErrorPlainly;
    if (const QString problem = DocumentSourceProblem(path); !problem.isEmpty()) {
        ShowError(QStringLiteral("The specified project %1 %2.").arg(path, problem));
        return false;
    }
    if (!GlobalProjectProps || !GlobalPagesPageControl)
        return false;

    std::unique_ptr<TSplashForm> splash;
    if (!SplashForm) {
        splash = std::make_unique<TSplashForm>(GlobalMainForm);
        // The file passes through the stream about three times: load, decrypt, parse.
        splash->SetProgressMax(int(qMin<qint64>(3 * QFileInfo(path).size(), INT_MAX)));
        splash->show();
    }

    // A message about the file comes alone, with no splash left standing behind it.
    const auto fail = [&splash](const QString &text) {
        splash.reset();
        ShowError(text);
        return false;
    };
    TMemoryStreamEx stream;
    if (poll)
        stream.SetPoll(poll);
    QString error;
    std::uint32_t tag = 0;
    if (!stream.LoadFromFile(path, &error) || !DecryptDocument(stream, tag, &error))
        return fail(QStringLiteral("Error loading %1\r\r%2").arg(path, error));
    if (versionTag)
        *versionTag = tag;

    QString missing;
    const int count = ScanRequiredPlugIns(stream, missing, &error);
    if (count < 0)
        return fail(error);
    if (count > 0) {
        splash.reset();
        explain(false, missing.split(u'\r', Qt::SkipEmptyParts));
        return false;
    }

    TGlobalFlagScope loading(GlobalLoadingProject);
    try {
        ReadRoots(stream, info);
    } catch (const EVeloraError &e) {
        const QString message = e.Message();
        splash.reset();
        if (!IsUnknownPropertyMessage(message))
            return fail(QStringLiteral("Unable to open the specified project %1.\rReason: %2")
                            .arg(path, message));
        // The property's own words first, then what the user can do about it.
        DialogService().MessageBox(TMessageRequest {GlobalAppTitle(), message, mtCustom, mbOK, 0});
        explain(true, {});
        return false;
    }
    return true;
}
} // namespace

bool LoadDocument(const QString &path, TProjectInfo &info, std::uint32_t *versionTag,
                  const TLoadErrorReport &report, const TLoadPoll &poll)
{
    try {
        return ReadDocument(path, info, versionTag, report, poll);
    } catch (const ELoadCancelled &) {
        // What was read stays for the caller to close, as after any failure.
        return false;
    }
}

bool SaveDocument(const QString &path, const TProjectInfo &info)
{
    TMemoryStream stream;
    try {
        WriteComponent(stream, GlobalProjectProps);
        for (TProjectPropsPageProps *page : GlobalProjectProps->PageProps())
            WriteComponent(stream, page);
        WriteComponent(stream, GlobalPagesPageControl);
        WriteComponent(stream, const_cast<TProjectInfo *>(&info));
    } catch (const EVeloraError &e) {
        ShowError(e.Message());
        return false;
    }
    QString error;
    if (!EncryptDocument(stream, &error)) {
        ShowError(error);
        return false;
    }
    // Written beside the old file and renamed over it, so a failure leaves it as it was.
    if (!WriteWholeFile(path, stream.Data(), &error)) {
        ShowError(QStringLiteral("Unable to save the document %1.\rReason: %2").arg(path, error));
        return false;
    }
    return true;
}
