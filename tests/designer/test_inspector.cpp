// The property inspector on the designer's window: edits typed into the grid's
// in-place editors reach every selected element as one undoable step, refused
// values keep the old one, the drop-down follows names, and the expanded rows
// and the splitter are remembered.

#include "CObjectInspectorForm.h"
#include "CPropEditors.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "CPublished.h"
#include "Cini.h"
#include "DesignerTestWindow.h"

#include "CPrinterService.h"
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {
QString Value(QObject *element, const QString &path)
{
    QObject *holder = element;
    const QStringList names = path.split(u'.');
    for (qsizetype i = 0; i + 1 < names.size(); ++i)
        holder = holder->property(names.at(i).toLatin1().constData()).value<QObject *>();
    return PropertyValueText(holder, FindStoredProperty(holder->metaObject(), names.last()));
}
} // namespace

class Inspector : public DesignerWindowTest
{
protected:
    void TearDown() override
    {
        inspector.reset();
        DesignerWindowTest::TearDown();
    }

    TObjectInspectorForm &Make()
    {
        inspector = std::make_unique<TObjectInspectorForm>();
        inspector->OnChangeProperty
            = [this](const QList<QObject *> &objects, const QString &path, const QString &value) {
                  ++changes;
                  return window->ChangeProperty(objects, path, value);
              };
        inspector->resize(320, 600);
        inspector->show();
        inspector->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(inspector.get()));
        return *inspector;
    }
    TPropertyGrid *Grid() const { return inspector->Grid(); }
    QModelIndex Row(const QString &path) const
    {
        const QModelIndex index = Grid()->Model()->FindPath(path);
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            Grid()->expand(up);
        Grid()->scrollTo(index);
        return index;
    }
    QString Shown(const QString &path) const
    {
        return Row(path).siblingAtColumn(1).data().toString();
    }
    // Types into the row's in-place editor, opened by a click on its value and F2, and
    // presses Enter.
    void Type(const QString &path, const QString &text)
    {
        const QModelIndex index = Row(path).siblingAtColumn(1);
        ASSERT_TRUE(index.isValid()) << path.toStdString();
        // The designer's own window may still be taking the activation: wait for ours.
        inspector->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(inspector.get()));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                          Grid()->visualRect(index).center());
        QTest::keyClick(Grid(), Qt::Key_F2);
        QWidget *editor = nullptr;
        const bool editing = QTest::qWaitFor(
            [&] {
                editor = QApplication::focusWidget();
                return editor && Grid()->viewport()->isAncestorOf(editor);
            },
            2000);
        ASSERT_TRUE(editing) << path.toStdString();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TObjectInspectorForm> inspector;
    int changes = 0;
};

TEST_F(Inspector, ABorderWidthTypedForThreeElementsIsOneStepThatUndoesToEachOwnValue)
{
    Open(1, 3);
    QList<QObject *> boxes {Box(QStringLiteral("Box11")), Box(QStringLiteral("Box12")),
                            Box(QStringLiteral("Box13"))};
    for (int i = 0; i < 3; ++i)
        boxes[i]->findChild<TPropGroupBorder *>()->setProperty("BorderWidth", i + 1);
    Make().SetSelection(boxes);
    const QString path = QStringLiteral("VisualBorderProps.BorderWidth");
    // Disagreeing values show nothing.
    EXPECT_EQ(Shown(path), QString());
    const int before = window->DesignerUndoRedo().Count();
    QStringList signalled;
    QObject::connect(inspector.get(), &TObjectInspectorForm::PropertyChanged,
                     [&](const QString &changed) { signalled << changed; });

    Type(path, QStringLiteral("7"));
    for (QObject *box : boxes)
        EXPECT_EQ(Value(box, path), QStringLiteral("7"));
    EXPECT_EQ(Shown(path), QStringLiteral("7"));
    EXPECT_EQ(window->DesignerUndoRedo().Count(), before + 1);
    // The same row again is a step of its own; leaving it unchanged is none.
    Type(path, QStringLiteral("9"));
    Type(path, QStringLiteral("9"));
    EXPECT_EQ(window->DesignerUndoRedo().Count(), before + 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(signalled, QStringList({path, path}));
    EXPECT_EQ(inspector->Selection(), boxes);

    window->EditCommand(TDesignerMainForm::ecUndo);
    window->EditCommand(TDesignerMainForm::ecUndo);
    inspector->Refresh();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Value(boxes[i], path), QString::number(i + 1));
    EXPECT_EQ(Shown(path), QString());
    QDir().mkpath(QStringLiteral("screenshots"));
    inspector->grab().save(QStringLiteral("screenshots/inspector-three.png"));
}

TEST_F(Inspector, RefusedValuesAreToldAndTheOldValueStays)
{
    Open(1, 2);
    QObject *box = Box(QStringLiteral("Box11"));
    Make().SetSelection({box});
    const QString flag = QStringLiteral("VisualTABOnProps.TABOnUpDownKeys");
    ASSERT_EQ(Shown(flag), QStringLiteral("No"));
    Type(flag, QStringLiteral("yes"));
    EXPECT_EQ(Value(box, flag), QStringLiteral("true"));
    EXPECT_EQ(Shown(flag), QStringLiteral("Yes"));

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Invalid property value"));
    Type(flag, QStringLiteral("maybe"));
    EXPECT_EQ(Value(box, flag), QStringLiteral("true"));
    EXPECT_EQ(Shown(flag), QStringLiteral("Yes"));

    // An enumeration takes its captions, whatever the case, and nothing else.
    const QString style = QStringLiteral("VisualParagraphProps.ParagraphStyle");
    Type(style, QStringLiteral("fixed"));
    EXPECT_EQ(Value(box, style), QStringLiteral("psFixed"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Invalid property value"));
    Type(style, QStringLiteral("psVariable"));
    EXPECT_EQ(Value(box, style), QStringLiteral("psFixed"));

    // Out of range for an integer, not a finite number, or no number at all.
    const std::pair<const char *, const char *> refused[] {
        {"VisualBorderProps.BorderWidth", "1e999"},
        {"VisualBorderProps.BorderWidth", "99999999999"},
        {"VisualBorderProps.BorderWidth", "12abc"},
        {"VisualNumberProps.NumberMaxValue", "1e999"},
        {"VisualNumberProps.NumberMaxValue", "nan"},
        {"VisualNumberProps.NumberMaxValue", "-inf"},
    };
    for (const auto &[path, bad] : refused) {
        ASSERT_TRUE(Row(QString::fromLatin1(path)).isValid()) << path;
        const QString old = Value(box, QString::fromLatin1(path));
        ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Invalid property value"));
        Type(QString::fromLatin1(path), QString::fromLatin1(bad));
        EXPECT_EQ(Value(box, QString::fromLatin1(path)), old) << path << " " << bad;
    }
    EXPECT_EQ(changes, 2);
}

TEST_F(Inspector, RenamingReSortsTheDropDownAndChoosingSelects)
{
    Open(1, 3);
    QObject *box = Box(QStringLiteral("Box11"));
    Make().SetSelection({box});
    QComboBox *combo = inspector->ObjectCombo();
    ASSERT_EQ(combo->count(), 4);
    EXPECT_TRUE(combo->itemText(0).startsWith(QStringLiteral("Page 1")));
    EXPECT_TRUE(combo->itemText(1).startsWith(QStringLiteral("Box11")));
    EXPECT_EQ(combo->currentIndex(), 1);

    Type(QStringLiteral("Name"), QStringLiteral("Zed"));
    EXPECT_EQ(dynamic_cast<TComponent *>(box)->Name(), QStringLiteral("Zed"));
    EXPECT_TRUE(combo->itemText(1).startsWith(QStringLiteral("Box12")));
    EXPECT_TRUE(combo->itemText(3).startsWith(QStringLiteral("Zed")));
    EXPECT_EQ(combo->currentIndex(), 3);

    // A name taken is refused with the reason; a rename is one undoable step.
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("A form element named Box12 already exists"));
    Type(QStringLiteral("Name"), QStringLiteral("Box12"));
    EXPECT_EQ(dynamic_cast<TComponent *>(box)->Name(), QStringLiteral("Zed"));
    window->DesignerUndoRedo().Undo();
    EXPECT_EQ(dynamic_cast<TComponent *>(box)->Name(), QStringLiteral("Box11"));
    window->DesignerUndoRedo().Redo();
    EXPECT_EQ(dynamic_cast<TComponent *>(box)->Name(), QStringLiteral("Zed"));

    static QWidget *s_selected = nullptr;
    GlobalSelectElementHook = [](QWidget *element, bool) {
        s_selected = element;
    };
    QList<QObject *> chosen;
    QObject::connect(inspector.get(), &TObjectInspectorForm::ElementChosen,
                     [&](QObject *o) { chosen << o; });
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    QCoreApplication::processEvents();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first(), Box(QStringLiteral("Box13")));
    EXPECT_EQ(inspector->Selection(), chosen);
    EXPECT_EQ(s_selected, Box(QStringLiteral("Box13")));
}

TEST_F(Inspector, ExpandedRowsFollowTheSelectionAndSurviveWithTheSplitter)
{
    Open(1, 2);
    Make().SetSelection({Box(QStringLiteral("Box11"))});
    const QModelIndex border = Grid()->Model()->FindPath(QStringLiteral("VisualBorderProps"));
    ASSERT_TRUE(border.isValid());
    EXPECT_FALSE(Grid()->isExpanded(border));
    // Expanded by a click on its branch indicator, as a user does.
    const QRect row = Grid()->visualRect(border);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                      QPoint(row.left() - Grid()->indentation() / 2, row.center().y()));
    ASSERT_TRUE(Grid()->isExpanded(border));
    EXPECT_EQ(Grid()->Expanded(), QStringList {QStringLiteral("VisualBorderProps")});

    inspector->SetSelection({Box(QStringLiteral("Box12"))});
    EXPECT_TRUE(Grid()->isExpanded(Grid()->Model()->FindPath(QStringLiteral("VisualBorderProps"))));
    EXPECT_FALSE(
        Grid()->isExpanded(Grid()->Model()->FindPath(QStringLiteral("VisualGeneralProps"))));

    Grid()->header()->resizeSection(0, 170);
    inspector.reset();
    EXPECT_EQ(INIReadStr(GlobalAppINI, QStringLiteral("App"), QStringLiteral("Expanded"), {}),
              QStringLiteral("VisualBorderProps"));
    Make().SetSelection({Box(QStringLiteral("Box11"))});
    EXPECT_EQ(Grid()->columnWidth(0), 170);
    EXPECT_TRUE(Grid()->isExpanded(Grid()->Model()->FindPath(QStringLiteral("VisualBorderProps"))));
}

TEST_F(Inspector, RowsAreTheHelpersCaptionsInTheirOrderAndHelpFollowsTheRow)
{
    Open(1, 1);
    Make().SetSelection({Box(QStringLiteral("Box11"))});
    TPropertyGridModel *model = Grid()->Model();
    QStringList captions;
    for (int i = 0; i < model->rowCount(); ++i)
        captions << model->index(i, 0).data().toString();
    // No component-internal properties, the name first, groups under their captions.
    EXPECT_EQ(captions.first(), QStringLiteral("Name"));
    EXPECT_FALSE(captions.contains(QStringLiteral("Tag")));
    EXPECT_FALSE(captions.contains(QStringLiteral("VisualBorderProps")));
    TPropHelper *helper = TObjectInspectorForm::HelperOf(Box(QStringLiteral("Box11")));
    for (int i = 2; i < model->rowCount(); ++i)
        EXPECT_LE(helper->Info(model->Node(model->index(i - 1, 0))->Name)->Order,
                  helper->Info(model->Node(model->index(i, 0))->Name)->Order);

    EXPECT_EQ(inspector->HelpContext(), 40);
    Grid()->setCurrentIndex(Row(QStringLiteral("VisualTABOnProps.TABOnUpDownKeys")));
    QList<int> asked;
    QObject::connect(inspector.get(), &TObjectInspectorForm::HelpRequested,
                     [&](int context) { asked << context; });
    QTest::keyClick(Grid(), Qt::Key_F1);
    EXPECT_EQ(asked, QList<int>({198}));
}

TEST_F(Inspector, PaperSizesAreTheCurrentPrintersFormsAndListsTakeTheirCaptions)
{
    Open(2, 0);
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    TProjectPropsPageProps *page = GlobalPgProps(0);
    Make().SetSelection({page});
    EXPECT_TRUE(inspector->ObjectCombo()->currentText().startsWith(QStringLiteral("Page 1")));
    const QString size = QStringLiteral("PagePaperProps.PaperSize");
    const QStringList captions = PropEditorPaperSizeCaptions();
    ASSERT_GT(captions.size(), 2);
    EXPECT_EQ(captions.first(), QStringLiteral("Custom"));
    const QList<TPaperForm> forms = PrinterService().Forms(PrinterService().PrinterName());
    for (qsizetype i = 0; i < forms.size(); ++i)
        EXPECT_EQ(captions.at(i + 1), forms.at(i).Name);
    EXPECT_EQ(Shown(size), captions.at(Value(page, size).toInt()));
    Type(size, forms.at(0).Name.toUpper());
    EXPECT_EQ(Value(page, size), QString::number(forms.at(0).Code));
    EXPECT_EQ(Shown(size), forms.at(0).Name);
    const QModelIndex orientation = Row(QStringLiteral("PagePaperProps.PaperOrientation"));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                      Grid()->visualRect(orientation.siblingAtColumn(1)).center());
    QTest::keyClick(Grid(), Qt::Key_F2);
    QDir().mkpath(QStringLiteral("screenshots"));
    inspector->grab().save(QStringLiteral("screenshots/inspector-page.png"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // The focus list of a page without elements has no empty entry either.
    const QMetaProperty focus
        = FindStoredProperty(page->metaObject(), QStringLiteral("PageDefaultFocus"));
    EXPECT_EQ(CreatePropEditor({page}, focus)->GetValues(), QStringList());
}

TEST_F(Inspector, ZeroPadAndDialogRowsEditThroughTheOneChange)
{
    Open(1, 1);
    QObject *box = Box(QStringLiteral("Box11"));
    Make().SetSelection({box});
    const QString pad = QStringLiteral("VisualNumberProps.NumberPaddingProps.NumberPadding");
    ASSERT_TRUE(Row(pad).isValid());
    EXPECT_EQ(Shown(pad), QStringLiteral("None"));
    Type(pad, QStringLiteral("right"));
    EXPECT_EQ(Value(box, pad), QStringLiteral("zpRight"));

    // The hint's button opens the element's own dialog; OK is one recorded change.
    const QString hint = QStringLiteral("VisualGeneralProps.GeneralHint");
    const QModelIndex row = Row(hint).siblingAtColumn(1);
    ASSERT_TRUE(row.isValid());
    const int before = window->DesignerUndoRedo().Count();
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Grid()->visualRect(row).center());
    QTest::keyClick(Grid(), Qt::Key_F2);
    auto *button
        = Grid()->viewport()->findChild<QToolButton *>(QStringLiteral("PropertyDialogButton"));
    ASSERT_TRUE(button);
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto *memo = dialog.findChild<QPlainTextEdit *>();
        auto *line = dialog.findChild<QLineEdit *>();
        if (memo)
            memo->setPlainText(QStringLiteral("Type your name"));
        else if (line)
            line->setText(QStringLiteral("Type your name"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(Value(box, hint), QStringLiteral("Type your name"));
    EXPECT_EQ(Shown(hint), QStringLiteral("Type your name"));
    EXPECT_EQ(window->DesignerUndoRedo().Count(), before + 1);
    EXPECT_EQ(changes, 2);
    window->EditCommand(TDesignerMainForm::ecUndo);
    EXPECT_EQ(Value(box, hint), QString());
}

TEST_F(Inspector, AnObjectFreedWhileShownLeavesTheRowsAtOnceAndTheOthersStay)
{
    Open(1, 1);
    auto page = std::make_unique<TProjectPropsPageProps>();
    auto other = std::make_unique<TProjectPropsPageProps>();
    Make().SetSelection({page.get(), other.get()});
    ASSERT_GT(Grid()->Model()->rowCount(), 0);
    page.reset();
    // Nothing may read the freed object, not even a paint.
    EXPECT_EQ(Grid()->Model()->rowCount(), 0);
    Grid()->viewport()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(inspector->Selection(), QList<QObject *>({other.get()}));
    EXPECT_GT(Grid()->Model()->rowCount(), 0);
}
