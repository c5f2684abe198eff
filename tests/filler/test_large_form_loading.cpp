// Opening a form of 50,000 elements in the filler: the gauge moves while it is
// read, and a close request meanwhile stops reading and closes the window with
// nothing half open. The figures (gaps between gauge moves, time to answer the
// close) are measured and printed; the checks are on what is left behind.

#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPropGroups.h"
#include "CSplashForm.h"
#include "FillerTestWindow.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>

class TLargeFormBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
public:
    explicit TLargeFormBox(TComponent *owner) : TVisualPgCtrl(owner) { ++Alive; }
    ~TLargeFormBox() override { --Alive; }
    int ClassTypeID() const override { return 20; }
    static inline int Alive = 0;
};

namespace {
const TClassRegistration<TLargeFormBox> registerBox;
constexpr int kPages = 200;
constexpr int kPerPage = 250;

class LargeFormLoading : public TFillerWindowTest
{
protected:
    static void SetUpTestSuite()
    {
        Folder = std::make_unique<QTemporaryDir>();
        TDocumentBuilder doc;
        for (int page = 0; page < kPages; ++page) {
            doc.AddPage();
            for (int i = 0; i < kPerPage; ++i) {
                auto *box
                    = doc.Add<TLargeFormBox>(page, QStringLiteral("Box%1_%2").arg(page).arg(i),
                                             QRect(40 + (i % 5) * 140, 40 + (i / 5) * 20, 130, 18));
                box->VisualGeneralProps()->SetGeneralDefaultText(QString::number(i));
                box->VisualBorderProps()->SetBorderWidth(1);
            }
        }
        ASSERT_TRUE(doc.Save(Path()));
        doc.Pages()->DestroyComponents();
        ASSERT_EQ(TLargeFormBox::Alive, 0);
    }
    static void TearDownTestSuite() { Folder.reset(); }
    static QString Path() { return Folder->filePath(QStringLiteral("large.vld")); }
    static inline std::unique_ptr<QTemporaryDir> Folder;
};

// Watches the splash gauge from the first look at it: the longest time it stood still.
class TGaugeWatch : public QObject
{
public:
    TGaugeWatch()
    {
        m_clock.start();
        connect(&m_timer, &QTimer::timeout, this, [this] { Look(); });
        m_timer.start(1);
    }
    void Look()
    {
        if (!SplashForm || m_gauge)
            return;
        m_gauge = SplashForm->ProgressBar();
        m_last = m_clock.elapsed();
        connect(m_gauge, &QProgressBar::valueChanged, this, [this] { Moved(); });
        connect(m_gauge, &QObject::destroyed, this, [this] {
            Moved();
            Gone = m_clock.elapsed();
        });
    }
    void Moved()
    {
        const qint64 now = m_clock.elapsed();
        LongestStill = std::max(LongestStill, now - m_last);
        m_last = now;
        ++Moves;
    }
    qint64 Since() const { return m_clock.elapsed(); }
    qint64 LongestStill = 0;
    qint64 Gone = 0;
    int Moves = 0;

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    QPointer<QProgressBar> m_gauge;
    qint64 m_last = 0;
};
} // namespace

TEST_F(LargeFormLoading, TheGaugeMovesWhileALargeFormIsRead)
{
    TFillerMainForm &filler = Start();
    TGaugeWatch watch;
    QElapsedTimer open;
    open.start();
    ASSERT_TRUE(filler.OpenDocument(Path()));
    std::printf("[ measured ] opening %d elements: %lld ms, of which %lld ms after reading; "
                "while reading the gauge moved %d times, standing still at most %lld ms "
                "(goal: under 100 ms)\n",
                kPages * kPerPage, open.elapsed(), watch.Since() - watch.Gone, watch.Moves,
                watch.LongestStill);
    RecordProperty("gauge_still_ms", int(watch.LongestStill));
    EXPECT_GT(watch.Moves, 5) << "the gauge moves while the form is read";
    EXPECT_EQ(SplashForm, nullptr);
    EXPECT_EQ(filler.PagesPageControl()->PageCount(), kPages);
    EXPECT_EQ(TLargeFormBox::Alive, kPages * kPerPage);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
}

TEST_F(LargeFormLoading, ACloseRequestWhileReadingStopsItAndLeavesNothingOpen)
{
    TFillerMainForm &filler = Start();
    // The request comes from the event loop, as a click on the title bar's close
    // button would, once half the elements are read.
    QElapsedTimer sinceRequest;
    QTimer request;
    bool readingWhenAsked = false;
    QObject::connect(&request, &QTimer::timeout, [&] {
        if (TLargeFormBox::Alive < kPages * kPerPage / 2 || sinceRequest.isValid())
            return;
        readingWhenAsked = GlobalLoadingProject;
        sinceRequest.start();
        filler.close();
    });
    request.start(1);

    EXPECT_FALSE(filler.OpenDocument(Path()));
    request.stop();
    ASSERT_TRUE(sinceRequest.isValid()) << "the close was asked for while reading";
    EXPECT_TRUE(readingWhenAsked);
    const qint64 stopped = sinceRequest.elapsed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !filler.isVisible(); }, 5000));
    std::printf("[ measured ] close request while reading %d elements: reading stopped after "
                "%lld ms, window closed after %lld ms (goal: under 500 ms)\n",
                kPages * kPerPage, stopped, sinceRequest.elapsed());
    RecordProperty("close_answered_ms", int(sinceRequest.elapsed()));

    // Nothing half open: no pages, no elements, no gauge, no message, no leak.
    EXPECT_FALSE(filler.isVisible());
    EXPECT_EQ(filler.PagesPageControl()->PageCount(), 0);
    EXPECT_EQ(filler.PagesPageControl()->ComponentCount(), 0);
    EXPECT_EQ(TLargeFormBox::Alive, 0);
    EXPECT_EQ(SplashForm, nullptr);
    EXPECT_FALSE(GlobalLoadingProject);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
    EXPECT_TRUE(filler.windowTitle().indexOf(QStringLiteral("large.vld")) < 0);
}

#include "test_large_form_loading.moc"
