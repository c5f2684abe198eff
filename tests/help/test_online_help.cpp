// Context help: the help context number, through the topic map beside the
// programs, to the page address handed to the browser.

#include "CAppPaths.h"
#include "CClassRegistry.h"
#include "CObjectInspectorForm.h"
#include "COnlineHelp.h"
#include "CPrinterOffsetsDlg.h"
#include "CXMLWebWorksHelpBook.h"
#include "DesignerTestWindow.h"
#include "FillerTestWindow.h"

#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QTreeView>

QT_BEGIN_NAMESPACE
void PrintTo(const QUrl &url, std::ostream *out)
{
    *out << url.toString().toStdString();
}
QT_END_NAMESPACE

namespace {
const TClassRegistration<TDesignTestBox> registerDesignBox;

QString BuiltHelp(const char *page)
{
    return QDir::cleanPath(QStringLiteral(VELORA_BUILD_DIR "/help/")) + u'/' + QLatin1String(page);
}

void Write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    ASSERT_TRUE(file.commit());
}

// The program folder is a test's own, so that each writes the maps it wants.
class OnlineHelp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ScriptedDialogs().Reset();
        m_savedExecPath = GlobalExecPath;
        GlobalExecPath = dir.path() + QStringLiteral("/bin/");
        QDir().mkpath(GlobalExecPath);
    }
    void TearDown() override
    {
        GlobalExecPath = m_savedExecPath;
        ScriptedDialogs().VerifyAllUsed();
    }
    void WriteDesignerMap(const QList<TXMLWebWorksHelpBookLink> &topics)
    {
        std::unique_ptr<TXMLWebWorksHelpBookType> book = NewWebWorksHelpBook();
        book->TopicMap = topics;
        Write(GlobalExecPath + QStringLiteral("Velora Designer.xml"), book->ToXml());
    }
    QList<QUrl> Opened() const { return ScriptedDialogs().OpenedUrls(); }
    QUrl DesignerPage(const QString &href) const
    {
        return QUrl::fromLocalFile(dir.path() + QStringLiteral("/help/designer/"))
            .resolved(QUrl(href));
    }

    QTemporaryDir dir;
    QString m_savedExecPath;
};
} // namespace

TEST_F(OnlineHelp, ContextOpensItsTopicFromTheProgramsMapCaseIgnoredFirstMatchWins)
{
    WriteDesignerMap({{QStringLiteral("Workspace"), QStringLiteral("workspace.html")},
                      {QStringLiteral("WELCOMEscreen"), QStringLiteral("welcome.html#start")},
                      {QStringLiteral("WelcomeScreen"), QStringLiteral("second.html")}});
    EXPECT_EQ(OnlineHelpCTXName(31), QStringLiteral("dhctx_WelcomeScreen"));
    EXPECT_TRUE(ShowOnlineHelp(dhctx_WelcomeScreen));
    ASSERT_EQ(Opened().size(), 1);
    EXPECT_EQ(Opened().first(), DesignerPage(QStringLiteral("welcome.html#start")));

    // A filler topic is looked up in the filler's map, which this folder lacks.
    EXPECT_FALSE(ShowOnlineHelp(fhctx_Workspace));
    EXPECT_EQ(Opened().size(), 1);
}

TEST_F(OnlineHelp, NumbersOutsideTheNamedOnesOpenNothing)
{
    QList<TXMLWebWorksHelpBookLink> topics;
    for (const char *name : {"Unused43", "", "43", "dhctx_", "PluginHTMLTimeBox"})
        topics.append({QString::fromLatin1(name), QStringLiteral("page.html")});
    WriteDesignerMap(topics);
    for (int context : {43, 44, 45, 221, 1000, -1, -221})
        EXPECT_FALSE(ShowOnlineHelp(context)) << context;
    EXPECT_TRUE(Opened().isEmpty());
    EXPECT_TRUE(ShowOnlineHelp(220));
    EXPECT_EQ(Opened(), QList<QUrl>({DesignerPage(QStringLiteral("page.html"))}));
}

TEST_F(OnlineHelp, MissingDamagedOrForeignMapsAndAddressesOpenNothing)
{
    const QString map = GlobalExecPath + QStringLiteral("Velora Designer.xml");
    EXPECT_FALSE(ShowOnlineHelp(dhctx_WelcomeScreen));

    const QByteArray whole
        = "<WebWorksHelpBook><TopicMap><Topic name=\"WelcomeScreen\" href=\"welcome.html\"/>"
          "</TopicMap></WebWorksHelpBook>";
    const QList<QByteArray> damaged
        = {QByteArray(),
           whole.left(whole.size() / 2),
           whole.left(whole.size() - 3),
           QByteArray("\x00\xff\xfe garbage", 12),
           "<OtherBook><TopicMap><Topic name=\"WelcomeScreen\" "
           "href=\"w.html\"/></TopicMap></OtherBook>",
           "<WebWorksHelpBook><TopicMap><Topic name=\"WelcomeScreen\" href=\"w.html\"/></TopicMap>"
           "</WebWorksHelpBook><extra/>"};
    for (const QByteArray &bytes : damaged) {
        Write(map, bytes);
        EXPECT_FALSE(ShowOnlineHelp(dhctx_WelcomeScreen)) << bytes.constData();
    }
    QDir().mkpath(map + QStringLiteral("-folder"));
    for (const char *href :
         {"https://example.invalid/page.html", "file:///etc/passwd", "/etc/passwd",
          "../../outside.html", "//host/page.html", "javascript:alert(1)", ""}) {
        WriteDesignerMap({{QStringLiteral("WelcomeScreen"), QString::fromLatin1(href)}});
        EXPECT_FALSE(ShowOnlineHelp(dhctx_WelcomeScreen)) << href;
    }
    EXPECT_TRUE(Opened().isEmpty());
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());

    Write(map, whole);
    EXPECT_TRUE(ShowOnlineHelp(dhctx_WelcomeScreen));
}

TEST_F(OnlineHelp, EveryPartOfTheBookIsReadAndWrittenBack)
{
    const QByteArray xml = R"(<?xml version="1.0"?>
<WebWorksHelpBook version="2.1" name="Book" context="ctx" locale="en-GB">
  <CommonWordsToSkip minlen="4"/>
  <ScoringPrefs>
    <meta name="keywords" weight="100"/><meta name="description" weight="40"/>
    <title weight="90"/><h1 weight="81"/><h2 weight="82"/><caption weight="70"/>
    <h3 weight="83"/><th weight="60"/><h4 weight="84"/><h5 weight="85"/><h6 weight="86"/>
    <h7 weight="87"/>
  </ScoringPrefs>
  <DocumentInfo><Document title="One" href="one.html"/><Document title="Two" href="two.html"/></DocumentInfo>
  <Unknown><Topic name="Hidden" href="no.html"/></Unknown>
  <TopicMap><Topic name="A" href="a.html"/><Other/><Topic name="B" href="b.html#x"/></TopicMap>
</WebWorksHelpBook>)";
    QString error;
    const std::unique_ptr<TXMLWebWorksHelpBookType> book = GetWebWorksHelpBook(xml, &error);
    ASSERT_TRUE(book) << error.toStdString();
    const auto check = [](const TXMLWebWorksHelpBookType &b) {
        EXPECT_EQ(b.Version, QStringLiteral("2.1"));
        EXPECT_EQ(b.Name, QStringLiteral("Book"));
        EXPECT_EQ(b.Context, QStringLiteral("ctx"));
        EXPECT_EQ(b.Locale, QStringLiteral("en-GB"));
        EXPECT_EQ(b.CommonWordsMinLen, 4);
        ASSERT_EQ(b.ScoringPrefs.Meta.size(), 2);
        EXPECT_EQ(b.ScoringPrefs.Meta[1].Name, QStringLiteral("description"));
        EXPECT_EQ(b.ScoringPrefs.Meta[1].Weight, 40);
        EXPECT_EQ(b.ScoringPrefs.Title, 90);
        EXPECT_EQ(b.ScoringPrefs.Caption, 70);
        EXPECT_EQ(b.ScoringPrefs.Th, 60);
        for (int level = 0; level < 7; ++level)
            EXPECT_EQ(b.ScoringPrefs.Heading[level], 81 + level);
        ASSERT_EQ(b.Documents.size(), 2);
        EXPECT_EQ(b.Documents[1].Name, QStringLiteral("Two"));
        EXPECT_EQ(b.Documents[1].Href, QStringLiteral("two.html"));
        ASSERT_EQ(b.TopicMap.size(), 2);
        EXPECT_EQ(b.TopicMap[1].Href, QStringLiteral("b.html#x"));
        EXPECT_FALSE(b.FindTopic(QStringLiteral("Hidden")));
    };
    check(*book);
    const std::unique_ptr<TXMLWebWorksHelpBookType> again = GetWebWorksHelpBook(book->ToXml());
    ASSERT_TRUE(again);
    check(*again);
}

// The maps and pages the build ships: every named topic has a page that exists.
TEST_F(OnlineHelp, ShippedMapsNameAPageForEveryTopic)
{
    GlobalExecPath = QStringLiteral(VELORA_BIN_DIR "/");
    for (int context = 0; context < OnlineHelpCTXCount; ++context) {
        const QUrl page = OnlineHelpUrl(context);
        if (OnlineHelpCTXName(context).isEmpty()) {
            EXPECT_TRUE(page.isEmpty()) << context;
            continue;
        }
        ASSERT_TRUE(page.isLocalFile()) << OnlineHelpCTXName(context).toStdString();
        EXPECT_TRUE(QFileInfo(page.toLocalFile()).isFile()) << page.toString().toStdString();
        const bool filler = OnlineHelpCTXName(context).startsWith(QLatin1String("fhctx_"));
        EXPECT_TRUE(page.path().contains(filler ? QLatin1String("/help/filler/")
                                                : QLatin1String("/help/designer/")))
            << page.toString().toStdString();
    }
    EXPECT_TRUE(ShowOnlineHelp(31));
    EXPECT_EQ(Opened(), QList<QUrl>({QUrl::fromLocalFile(BuiltHelp("designer/welcome.html"))}));
}

// The filler's windows with the shipped maps: F1 as the user presses it.
// The programs' folder, where the shipped maps lie, for the guard's lifetime.
struct TShippedMaps
{
    TShippedMaps() { GlobalExecPath = QStringLiteral(VELORA_BIN_DIR "/"); }
    ~TShippedMaps() { GlobalExecPath = m_saved; }
    TShippedMaps(const TShippedMaps &) = delete;
    TShippedMaps &operator=(const TShippedMaps &) = delete;

private:
    const QString m_saved = GlobalExecPath;
};

class FillerHelpKey : public TFillerWindowTest
{
protected:
    TShippedMaps m_maps;
};

TEST_F(FillerHelpKey, F1OpensThePageOfTheWindowWithTheKeysAndClosesPopups)
{
    Start();
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls(),
              QList<QUrl>({QUrl::fromLocalFile(BuiltHelp("filler/workspace.html"))}));

    // A window of its own, not modal here so that the test keeps the keys.
    TPrinterOffsetsDlg offsets(window.get());
    offsets.show();
    offsets.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &offsets; }));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &offsets,
                    Qt::Key_F1);
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().last(),
              QUrl::fromLocalFile(BuiltHelp("filler/printer-offsets.html")));
    offsets.close();

    // Help from the menu while a popup is open: the popup goes before the browser comes.
    QMenu popup(window.get());
    popup.addAction(QStringLiteral("Item"));
    popup.popup(window->mapToGlobal(QPoint(50, 50)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    window->Action(QStringLiteral("HelpHelpTopics"))->trigger();
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().size(), 3);
}

class DesignerHelpKey : public DesignerWindowTest
{
protected:
    TShippedMaps m_maps;
};

TEST_F(DesignerHelpKey, F1OnTheSurfaceAndInTheInspectorOpensTheirPages)
{
    Open(1, 1);
    Key(Qt::Key_F1);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls(),
              QList<QUrl>({QUrl::fromLocalFile(BuiltHelp("designer/index.html"))}));

    TObjectInspectorForm *inspector = window->Inspector();
    auto *grid = inspector->findChild<QTreeView *>();
    ASSERT_TRUE(grid);
    grid->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QTest::keyClick(grid, Qt::Key_F1);
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().last(),
              QUrl::fromLocalFile(BuiltHelp("designer/inspector.html")));
}
