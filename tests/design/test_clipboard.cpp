// Cut, copy and paste of elements: through the clipboard file and the system
// clipboard, between two designers, and what a clipboard that holds something
// else, or damaged elements, does to the document (nothing).

#include "CPropGroups.h"
#include "CScribe.h"
#include "DesignerFixture.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>

namespace {

// A stream's records as lines, positions and names left out.
class TStoredProps : public TStreamVisitor
{
public:
    void BeginObject(const TStreamObjectHeader &header, int depth) override
    {
        Lines.append(QStringLiteral("%1 object %2").arg(depth).arg(header.ClassName));
    }
    void Property(const QString &path, const TStreamValue &value, int depth) override
    {
        static const QRegularExpression position(
            QStringLiteral("(^|\\.)(Left|Top|BaseRelLeft|BaseRelTop|PosSizeLeft|PosSizeTop)$"));
        if (!position.match(path).hasMatch())
            Lines.append(QStringLiteral("%1 %2 = %3").arg(depth).arg(path, StreamValueText(value)));
    }
    void EndObject(int depth) override { Lines.append(QStringLiteral("%1 end").arg(depth)); }
    QStringList Lines;
};

QStringList StoredProps(TComponent *component)
{
    TMemoryStream stream(ComponentToBytes(component));
    TStoredProps props;
    WalkComponent(stream, props);
    return props.Lines;
}

class ClipboardTest : public DesignerTest
{
protected:
    void SetUp() override
    {
        DesignerTest::SetUp();
        QFile::remove(ClipboardFile());
        QDir().mkpath(QFileInfo(ClipboardFile()).path());
        QGuiApplication::clipboard()->clear();
        // The designer program's paste: a clashing name takes the first free number of
        // its base, and the copy lands 8 pixels down and right.
        designer->OnCtrlPaste = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
            for (QWidget *ctrl : ctrls) {
                auto *component = dynamic_cast<TComponent *>(ctrl);
                if (pages->FindComponent(component->Name()))
                    component->SetName(SurfaceDesignerGetAutoName(component, pages.get()));
                pages->InsertComponent(component);
                ctrl->setParent(view);
                ctrl->move(ctrl->pos() + QPoint(8, 8));
                ctrl->show();
                Pasted.append(ctrl);
                PastingSet = PastingSet && GlobalPasting;
            }
        };
    }
    static QString ClipboardFile() { return GlobalAppVisualClipboardFile(); }

    TScribe *Box(const QString &name, const QRect &at, const QString &text, bool comb)
    {
        auto *box = Add<TScribe>(name, at);
        box->SetText(text);
        box->VisualBorderProps()->SetBorderWidth(2);
        box->VisualBorderProps()->SetBorderColor(clNavy);
        box->VisualFillProps()->SetFillColor(clCream);
        box->VisualCharacterProps()->SetCharacterSize(14);
        if (comb) {
            box->VisualParagraphProps()->SetParagraphStyle(psFixed);
            box->VisualParagraphProps()->ParagraphFixed()->SetFixedWidth(6.5L);
            box->VisualParagraphProps()->ParagraphFixed()->SetFixedHeight(8);
        }
        return box;
    }

    QList<QWidget *> Pasted;
    bool PastingSet = true;
};

TEST_F(ClipboardTest, CopiedTextBoxesPasteWithEveryStoredPropertyButNameAndPlace)
{
    QList<TScribe *> boxes
        = {Box(QStringLiteral("Box1"), QRect(100, 100, 200, 30), QStringLiteral("Jane Doe"), false),
           Box(QStringLiteral("Box2"), QRect(100, 150, 200, 30), QStringLiteral("12345"), true),
           Box(QStringLiteral("Box3"), QRect(100, 200, 200, 60), QStringLiteral("Two\r\nlines"),
               false)};
    Drag(OnEngine(boxes[0], QPoint(90, 90)), OnEngine(boxes[0], QPoint(310, 270)));
    ASSERT_EQ(Selected().size(), 3);
    ASSERT_TRUE(Engine()->Copy(true, ClipboardFile()));
    EXPECT_TRUE(QFile::exists(ClipboardFile()));

    int pastedEvents = 0;
    designer->OnCtrlsPasted = [&](TCustomSurfaceDesigner *) {
        ++pastedEvents;
    };
    ASSERT_TRUE(Engine()->Paste(true, ClipboardFile()));
    EXPECT_EQ(pastedEvents, 1);
    ASSERT_EQ(Pasted.size(), 3);
    EXPECT_TRUE(PastingSet);
    EXPECT_FALSE(GlobalPasting);
    for (int i = 0; i < 3; ++i) {
        auto *copy = qobject_cast<TScribe *>(Pasted[i]);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Name(), QStringLiteral("Box%1").arg(i + 4));
        EXPECT_EQ(copy->geometry(), boxes[i]->geometry().translated(8, 8));
        const QStringList original = StoredProps(static_cast<TComponent *>(boxes[i]));
        EXPECT_TRUE(original.filter(QStringLiteral("BorderWidth")).size() == 1);
        EXPECT_EQ(StoredProps(static_cast<TComponent *>(copy)), original) << "element " << i;
    }
    EXPECT_EQ(StoredProps(dynamic_cast<TComponent *>(Pasted[1]))
                  .filter(QStringLiteral("FixedWidth"))
                  .size(),
              1);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
}

TEST_F(ClipboardTest, ACopyInOneDesignerPastesInAnother)
{
    Box(QStringLiteral("Box1"), QRect(100, 100, 200, 30), QStringLiteral("Moved"), true);
    Click(OnEngine(view, QPoint(200, 115)));
    ASSERT_TRUE(Engine()->Copy(false, QString()));

    // The other designer has no clipboard file and nothing of its own.
    TPageControl otherPages;
    auto *otherView = new TPrinterPage(&otherPages, otherPages.AddPage(QStringLiteral("Page")));
    otherView->resize(900, 960);
    std::unique_ptr<TSurfaceDesigner> other(CreateComponent<TSurfaceDesigner>(nullptr));
    other->SetSurface(otherView);
    other->SetActive(true);
    QList<QWidget *> received;
    other->OnCtrlPaste = [&](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
        for (QWidget *ctrl : ctrls) {
            otherPages.InsertComponent(dynamic_cast<TComponent *>(ctrl));
            ctrl->setParent(otherView);
            received.append(ctrl);
        }
    };
    ASSERT_TRUE(other->Engine()->Paste(true, ClipboardFile()));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(qobject_cast<TScribe *>(received[0])->Text(), QStringLiteral("Moved"));
    EXPECT_EQ(StoredProps(dynamic_cast<TComponent *>(received[0])),
              StoredProps(static_cast<TComponent *>(view->findChild<TScribe *>())));
    other.reset();
}

TEST_F(ClipboardTest, AClipboardOfSomethingElseOrDamagedElementsPastesNothingAndSaysWhy)
{
    Box(QStringLiteral("Box1"), QRect(100, 100, 200, 30), QStringLiteral("Kept"), false);
    Box(QStringLiteral("Box2"), QRect(100, 150, 200, 30), QStringLiteral("Kept too"), true);
    const QByteArray document = ComponentToBytes(pages.get());

    // Text on the system clipboard, and a clipboard file that holds text.
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    {
        QFile file(ClipboardFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("hello, this is no element");
    }
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("does not hold form elements"));
    EXPECT_FALSE(Engine()->Paste(true, ClipboardFile()));

    // Elements whose second one is cut short: the whole one is not pasted either.
    designer->SelectAll();
    ASSERT_TRUE(Engine()->Copy(false, QString()));
    const QByteArray whole = Engine()->ClipboardStream().Data();
    auto *damaged = new QMimeData;
    damaged->setData(QString::fromLatin1(CSURFACEDESIGNER_MIME_TYPE), whole.left(whole.size() - 9));
    QGuiApplication::clipboard()->setMimeData(damaged);
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("could not be read"));
    EXPECT_FALSE(Engine()->Paste(false, QString()));

    EXPECT_TRUE(Pasted.isEmpty());
    EXPECT_EQ(ComponentToBytes(pages.get()), document);
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(ClipboardTest, ACutWhoseFileCannotBeWrittenDeletesNothing)
{
    auto *box = Box(QStringLiteral("Box1"), QRect(100, 100, 200, 30), QStringLiteral("x"), false);
    Click(Centre(box));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("could not be written"));
    EXPECT_FALSE(Engine()->Cut(true, QStringLiteral("/proc/velora-none/DATA.v"), true));
    EXPECT_EQ(pages->FindComponent(QStringLiteral("Box1")), box);

    ASSERT_TRUE(Engine()->Cut(true, ClipboardFile(), true));
    EXPECT_EQ(pages->FindComponent(QStringLiteral("Box1")), nullptr);
    ASSERT_TRUE(Engine()->Paste(true, ClipboardFile()));
    ASSERT_EQ(Pasted.size(), 1);
    EXPECT_EQ(dynamic_cast<TComponent *>(Pasted[0])->Name(), QStringLiteral("Box1"));
    ScriptedDialogs().VerifyAllUsed();
}

} // namespace
