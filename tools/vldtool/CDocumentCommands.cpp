#include "CDocumentCommands.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CDocumentFile.h"
#include "CPlugIns.h"

#include <QApplication>
#include <QFile>
#include <cstdio>

namespace {
void Print(std::FILE *out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

int Usage(const char *synopsis)
{
    std::fprintf(stderr, "usage: vldtool %s\n", synopsis);
    return deUsage;
}

bool ReadFile(const QString &path, QByteArray &bytes)
{
    // Reading a FIFO would wait for a writer; a folder reads as nothing.
    if (const QString problem = DocumentSourceProblem(path); !problem.isEmpty()) {
        Print(stderr, QStringLiteral("vldtool: %1 %2\n").arg(path, problem));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Print(stderr, QStringLiteral("vldtool: %1: %2\n").arg(path, file.errorString()));
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Refused before any work: an output that is not an ordinary file.
bool CanWrite(const QString &path)
{
    const QString problem = OutputTargetProblem(path);
    if (!problem.isEmpty())
        Print(stderr, QStringLiteral("vldtool: %1: %2\n").arg(path, problem));
    return problem.isEmpty();
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (!WriteWholeFile(path, bytes, &error)) {
        Print(stderr, QStringLiteral("vldtool: %1: %2\n").arg(path, error));
        return false;
    }
    return true;
}

// Opens the envelope in place; the exit status when it fails.
int Decrypt(const QString &path, TMemoryStream &stream, std::uint32_t &version)
{
    QString error;
    if (DecryptDocument(stream, version, &error))
        return deOk;
    Print(stderr, QStringLiteral("%1: %2\n").arg(path, error));
    return error == QLatin1String(SInvalidFileFormat) ? deInvalidFormat : deNotRecognised;
}

// Walks the structure only: values are checked by their tags and lengths and
// skipped, so that a large picture is never copied.
class TStructureWalk : public TStreamVisitor
{
public:
    bool WantsValues() const override { return false; }
    void BeginObject(const TStreamObjectHeader &, int) override { }
    void Property(const QString &, const TStreamValue &, int) override { }
    void EndObject(int) override { }
};

// Every root of a payload, walked; false with the message when one does not.
bool WalkPayload(TMemoryStream &payload, QString &error)
{
    payload.SetPosition(0);
    TStructureWalk walk;
    try {
        while (!payload.AtEnd())
            WalkComponent(payload, walk);
    } catch (const EVeloraError &e) {
        error = e.Message();
        return false;
    }
    return true;
}

// Binary values longer than this are shown by size and digest unless the bytes are asked for.
constexpr qsizetype kShownBinary = 4096;

// The text of the trees, written out line by line as the walk goes.
class TDumpWalk : public TStreamVisitor
{
public:
    explicit TDumpWalk(bool full) : m_full(full) { }
    void BeginObject(const TStreamObjectHeader &header, int depth) override
    {
        QString line(2 * depth, u' ');
        if (header.Flags & ffInherited)
            line += QStringLiteral("inherited ");
        else if (header.Flags & ffInline)
            line += QStringLiteral("inline ");
        else
            line += QStringLiteral("object ");
        if (!header.Name.isEmpty())
            line += header.Name + QStringLiteral(": ");
        line += header.ClassName;
        if (header.ChildPos)
            line += QStringLiteral(" [%1]").arg(*header.ChildPos);
        Print(stdout, line + u'\n');
    }
    void Property(const QString &path, const TStreamValue &value, int depth) override
    {
        const QString indent(2 * (depth + 1), u' ');
        if (value.Type == vaBinary && !m_full && value.Data.size() > kShownBinary) {
            const TDocumentDigest digest = DocumentDigest(value.Data);
            Print(stdout,
                  QStringLiteral("%1%2 = {%3 bytes, SHA-1 %4}\n")
                      .arg(indent, path)
                      .arg(value.Data.size())
                      .arg(QString::fromLatin1(
                          QByteArray(reinterpret_cast<const char *>(digest.data()), digest.size())
                              .toHex())));
            return;
        }
        Print(stdout,
              indent + path + QStringLiteral(" = ") + StreamValueText(value, depth + 1) + u'\n');
    }
    void EndObject(int depth) override
    {
        Print(stdout, QString(2 * depth, u' ') + QStringLiteral("end\n"));
    }

private:
    bool m_full;
};

// Messages of plug-ins that fail to load go to the terminal; nothing waits for a user.
class TConsoleDialogs : public TDialogService
{
public:
    int MessageBox(const TMessageRequest &request) override
    {
        Print(stderr, request.Text + u'\n');
        return (request.Buttons & mbOK) ? mrOk : mrCancel;
    }
    QString OpenFileName(const TFileRequest &) override { return {}; }
    QString SaveFileName(const TFileRequest &) override { return {}; }
    QString FolderName(const QString &, const QString &) override { return {}; }
    bool PrintDialog(TPrintRequest &) override { return false; }
    int ExecModal(QDialog &) override { return mrCancel; }
    bool OpenUrl(const QUrl &) override { return false; }
    void Beep() override { }
};

// The installed element kinds, loaded as the programs load them.
int MissingPlugIns(TMemoryStream &payload, const QString &folder, QString &missing)
{
    static int argc = 1;
    static char name[] = "vldtool";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GlobalInitPaths();
    SetDialogService(std::make_unique<TConsoleDialogs>());
    TPlugIns plugIns(folder.isEmpty() ? GlobalExecPath : folder);
    GlobalPlugIns = &plugIns;
    const int count = ScanRequiredPlugIns(payload, missing);
    GlobalPlugIns = nullptr;
    return count;
}
} // namespace

int RunCheckCommand(const QStringList &args)
{
    if (args.size() < 1 || args.size() > 2)
        return Usage("check FILE [PLUGIN_FOLDER]");
    const QString &path = args[0];
    QByteArray bytes;
    if (!ReadFile(path, bytes))
        return deUnreadable;
    const qint64 fileSize = bytes.size();
    TMemoryStream stream(std::move(bytes));
    std::uint32_t version = 0;
    if (const int status = Decrypt(path, stream, version))
        return status;
    Print(stdout,
          QStringLiteral("envelope: version tag %1, %2 bytes, %3-byte payload, digest "
                         "matches\n")
              .arg(version)
              .arg(fileSize)
              .arg(stream.Size()));

    QString error;
    if (!WalkPayload(stream, error)) {
        Print(stderr, QStringLiteral("%1: payload: %2\n").arg(path, error));
        return deReadError;
    }
    QString folder = args.value(1);
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    QString missing;
    const int count = MissingPlugIns(stream, folder, missing);
    if (count > 0) {
        Print(stderr, QStringLiteral("%1: element kinds not installed:\n").arg(path));
        for (const QString &kind : missing.split(u'\r', Qt::SkipEmptyParts))
            Print(stderr, QStringLiteral("  %1\n").arg(kind));
        return deMissingPlugIns;
    }
    Print(stdout, QStringLiteral("plug-ins: every element kind is installed\n"));
    return deOk;
}

int RunDumpCommand(const QStringList &args)
{
    QStringList files = args;
    const bool full = files.removeAll(QStringLiteral("--full")) > 0;
    if (files.size() != 1)
        return Usage("dump [--full] FILE");
    const QString &path = files[0];
    QByteArray bytes;
    if (!ReadFile(path, bytes))
        return deUnreadable;
    // A plain payload, as unpack writes it, is shown as well.
    const bool plain = bytes.startsWith("TPF0");
    TMemoryStream stream(std::move(bytes));
    std::uint32_t version = 0;
    if (!plain)
        if (const int status = Decrypt(path, stream, version))
            return status;
    TDumpWalk dump(full);
    try {
        while (!stream.AtEnd())
            WalkComponent(stream, dump);
    } catch (const EVeloraError &e) {
        std::fflush(stdout);
        Print(stderr, QStringLiteral("%1: payload: %2\n").arg(path, e.Message()));
        return deReadError;
    }
    return deOk;
}

int RunUnpackCommand(const QStringList &args)
{
    if (args.size() != 2)
        return Usage("unpack FILE OUT");
    if (!CanWrite(args[1]))
        return deUnreadable;
    QByteArray bytes;
    if (!ReadFile(args[0], bytes))
        return deUnreadable;
    TMemoryStream stream(std::move(bytes));
    std::uint32_t version = 0;
    if (const int status = Decrypt(args[0], stream, version))
        return status;
    return WriteFile(args[1], stream.Data()) ? deOk : deUnreadable;
}

int RunPackCommand(const QStringList &args)
{
    if (args.size() != 2)
        return Usage("pack IN FILE");
    if (!CanWrite(args[1]))
        return deUnreadable;
    QByteArray bytes;
    if (!ReadFile(args[0], bytes))
        return deUnreadable;
    TMemoryStream stream(std::move(bytes));
    // Only what the programs can read is wrapped.
    QString error;
    if (!WalkPayload(stream, error)) {
        Print(stderr, QStringLiteral("%1: payload: %2\n").arg(args[0], error));
        return deReadError;
    }
    if (!EncryptDocument(stream, &error)) {
        Print(stderr, QStringLiteral("vldtool: %1\n").arg(error));
        return deUnreadable;
    }
    return WriteFile(args[1], stream.Data()) ? deOk : deUnreadable;
}
