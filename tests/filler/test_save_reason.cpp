// A save that fails says why in the system's words, and a document that is not a
// file is named for what it is.

#include "CDocumentBuilder.h"
#include "CProjectIO.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
class SaveReason : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void TearDown() override { ScriptedDialogs().VerifyAllUsed(); }
    QTemporaryDir dir;
};
} // namespace

// Writes past a file size limit fail as on a full disk, with a reason of their own.
TEST_F(SaveReason, AFailedWriteGivesTheSystemsReasonAndKeepsTheFile)
{
    const QString path = dir.filePath(QStringLiteral("form.vld"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    TDocumentBuilder doc(2);
    rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit {64, before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("Unable to save the document %1.\rReason: %2")
                                        .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    const bool saved = doc.Save(path);
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, handler);
    EXPECT_FALSE(saved);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList {QStringLiteral("form.vld")});
}

TEST_F(SaveReason, AFolderGivenAsTheDocumentIsNamedAsAFolder)
{
    const QString folder = dir.filePath(QStringLiteral("folder.vld"));
    ASSERT_TRUE(QDir().mkpath(folder));
    TDocumentBuilder doc;
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified project %1 is a folder.").arg(folder));
    EXPECT_FALSE(LoadDocument(folder, doc.Info));
}
