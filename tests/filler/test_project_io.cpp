#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CComponentStream.h"
#include "CDocumentBuilder.h"
#include "CDocumentFile.h"
#include "CFillerDialogs.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CProjectIO.h"
#include "CPropGroups.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TIOTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

namespace {
const TClassRegistration<TIOTestBox> registerBox;

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The plain payload of a document file.
QByteArray Payload(const QString &path)
{
    TMemoryStream stream(ReadFile(path));
    std::uint32_t tag = 0;
    EXPECT_TRUE(DecryptDocument(stream, tag));
    return stream.Data();
}

// A document file around a payload.
void WritePayload(const QString &path, const QByteArray &payload)
{
    TMemoryStream stream(payload);
    ASSERT_TRUE(EncryptDocument(stream));
    WriteFile(path, stream.Data());
}

class ProjectIO : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;
    void TearDown() override { ScriptedDialogs().VerifyAllUsed(); }
    QString Sample(const QString &name)
    {
        const QString path = dir.filePath(name);
        TDocumentBuilder doc(2);
        auto *box = doc.Add<TIOTestBox>(1, QStringLiteral("Name"), QRect(50, 60, 200, 24));
        box->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("Zoë"));
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
        }
        doc.Settings(0)->PageBackgroundProps()->SetFileNameImage(png);
        doc.Settings(1)->SetPageDefaultFocus(QStringLiteral("Name"));
        doc.Info.SetLastExportTo1(QStringLiteral("office@example.com"));
        EXPECT_TRUE(doc.Save(path));
        return path;
    }
    QTemporaryDir dir;
};
} // namespace

TEST_F(ProjectIO, ADocumentComesBackAsItWasSaved)
{
    const QString path = Sample(QStringLiteral("a.vld"));
    TDocumentBuilder loaded;
    ASSERT_TRUE(LoadDocument(path, loaded.Info));
    ASSERT_EQ(loaded.Project.PageCount(), 2);
    EXPECT_EQ(loaded.Pages()->PageCount(), 2);
    EXPECT_EQ(loaded.Settings(1)->PageDefaultFocus(), QStringLiteral("Name"));
    EXPECT_EQ(loaded.Info.LastExportTo1(), QStringLiteral("office@example.com"));
    const QImage picture = loaded.Settings(0)->PageBackgroundProps()->Picture();
    EXPECT_EQ(picture.size(), QSize(40, 20));
    auto *box = qobject_cast<TIOTestBox *>(Global_FormElementRef(QStringLiteral("name")));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Text(), QStringLiteral("Zoë"));
    EXPECT_EQ(qobject_cast<TPrinterPage *>(box->parentWidget()), GlobalPgScrollBox(1));
}

TEST_F(ProjectIO, ShortDocumentsLoadWithDefaults)
{
    const QString path = Sample(QStringLiteral("a.vld"));
    const QByteArray payload = Payload(path);
    // Cut after the page control: the project settings keep their defaults.
    TMemoryStream walk(payload);
    QList<qint64> ends;
    while (!walk.AtEnd()) {
        struct TSkip : TStreamVisitor
        {
            bool WantsValues() const override { return false; }
            void BeginObject(const TStreamObjectHeader &, int) override { }
            void Property(const QString &, const TStreamValue &, int) override { }
            void EndObject(int) override { }
        } skip;
        WalkComponent(walk, skip);
        ends << walk.Position();
    }
    ASSERT_EQ(ends.size(), 5); // project, two page settings, page control, project settings
    const QString cut = dir.filePath(QStringLiteral("cut.vld"));
    WritePayload(cut, payload.left(ends.at(3)));
    TDocumentBuilder loaded;
    ASSERT_TRUE(LoadDocument(cut, loaded.Info));
    EXPECT_EQ(loaded.Pages()->PageCount(), 2);
    EXPECT_TRUE(loaded.Info.LastExportTo1().isEmpty());
    EXPECT_EQ(loaded.Info.LastExportSMTPPort(), 25);

    // No pages at all: an empty page control.
    const QString empty = dir.filePath(QStringLiteral("empty.vld"));
    {
        TDocumentBuilder doc;
        ASSERT_TRUE(doc.Save(empty));
    }
    TDocumentBuilder none2;
    ASSERT_TRUE(LoadDocument(empty, none2.Info));
    EXPECT_EQ(none2.Project.PageCount(), 0);
    EXPECT_EQ(none2.Pages()->PageCount(), 0);
}

TEST_F(ProjectIO, AnUnknownPropertyIsShownThenExplained)
{
    const QString path = Sample(QStringLiteral("a.vld"));
    QByteArray payload = Payload(path);
    // Rename a property the element has into one it does not, keeping the length.
    const qsizetype at = payload.indexOf("GeneralDefaultText");
    ASSERT_GT(at, 0);
    payload.replace(at, 18, "GeneralDefaultTaxt");
    const QString damaged = dir.filePath(QStringLiteral("unknown.vld"));
    WritePayload(damaged, payload);
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("does not exist"));
    bool propertiesMode = false;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        propertiesMode = dialog.windowTitle() == QStringLiteral("Properties Not Recognised!");
        return int(QDialog::Accepted);
    });
    TDocumentBuilder loaded;
    EXPECT_FALSE(LoadDocument(damaged, loaded.Info, nullptr, ShowLoadErrorDialog));
    EXPECT_TRUE(propertiesMode);
}

TEST_F(ProjectIO, AFailedSaveLeavesTheOldFileAlone)
{
    const QString path = Sample(QStringLiteral("a.vld"));
    const QByteArray before = ReadFile(path);
    // A folder in place of the file cannot be replaced.
    const QString folder = dir.filePath(QStringLiteral("folder.vld"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    {
        TDocumentBuilder doc(1);
        ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Unable to save the document"));
        EXPECT_FALSE(doc.Save(folder));
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    // A place nobody may write to, whoever runs the test.
    {
        TDocumentBuilder doc(1);
        ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Unable to save the document"));
        EXPECT_FALSE(doc.Save(QStringLiteral("/proc/velora-test.vld")));
    }
    EXPECT_EQ(ReadFile(path), before);
}

#include "test_project_io.moc"
