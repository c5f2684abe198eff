// Placing controls with their names, and deleting them with the Delete key.

#include "CScribe.h"
#include "DesignerFixture.h"

namespace {

TEST_F(DesignerTest, AutoNamesTakeTheFirstFreeNumberOfTheBase)
{
    Add<TScribe>(QStringLiteral("Scribe1"), QRect(10, 10, 50, 20));
    Add<TScribe>(QStringLiteral("Scribe3"), QRect(10, 40, 50, 20));
    std::unique_ptr<TScribe> unnamed(CreateComponent<TScribe>(pages.get()));
    EXPECT_EQ(SurfaceDesignerGetAutoName(unnamed.get()), QStringLiteral("Scribe2"));

    auto *field = Add(QStringLiteral("Field12"), QRect(10, 70, 50, 20));
    EXPECT_EQ(SurfaceDesignerGetAutoName(field), QStringLiteral("Field1"));
    Add(QStringLiteral("field1"), QRect(10, 100, 50, 20));
    EXPECT_EQ(SurfaceDesignerGetAutoName(field), QStringLiteral("Field2"));

    // Added at a point inside a container: the container is the parent, the place its own.
    QFrame *panel = AddContainer(QRect(300, 100, 300, 300));
    auto *box = CreateComponent<TScribe>(pages.get());
    const QString name = designer->Add(box, OnEngine(panel, QPoint(320, 150)), 80, 25, true, true);
    EXPECT_EQ(name, QStringLiteral("Scribe2"));
    EXPECT_EQ(box->parentWidget(), panel);
    EXPECT_EQ(box->geometry(), QRect(20, 50, 80, 25));
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(Selected(), QList<QWidget *>({box}));
    // The engine stays above what was placed after it.
    EXPECT_EQ(view->children().indexOf(Engine()) > view->children().indexOf(panel), true);
    EXPECT_EQ(Engine()->CtrlAt(Centre(box), false), box);
}

TEST_F(DesignerTest, DeleteKeyAsksTheHostAndLeavesNoSelectionBehind)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(100, 200, 80, 30));
    auto *c = Add(QStringLiteral("C"), QRect(100, 300, 80, 30));
    QStringList deleted;
    bool refuseA = true;
    designer->OnCanDelete = [&](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = !(refuseA && ctrl == a);
    };
    designer->OnCtrlDeleted = [&](TCustomSurfaceDesigner *, QWidget *ctrl) {
        deleted.append(dynamic_cast<TComponent *>(ctrl)->Name());
    };
    int groupsDeleted = 0;
    designer->OnCtrlsDeleted = [&](TCustomSurfaceDesigner *) {
        ++groupsDeleted;
    };

    Click(Centre(a));
    QTest::keyClick(Engine(), Qt::Key_Delete);
    EXPECT_EQ(pages->FindComponent(QStringLiteral("A")), a);
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));

    Click(Centre(b), Qt::ShiftModifier);
    Click(Centre(c), Qt::ShiftModifier);
    QTest::keyClick(Engine(), Qt::Key_Delete);
    EXPECT_EQ(deleted, QStringList({QStringLiteral("C"), QStringLiteral("B")}));
    EXPECT_EQ(pages->FindComponent(QStringLiteral("B")), nullptr);
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));
    EXPECT_EQ(groupsDeleted, 1);

    // A host that deletes by itself gets the selection and may free the controls.
    refuseA = false;
    QList<QWidget *> handed;
    designer->OnBeforeCtrlsDeleted = [&](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
        handed = ctrls;
        for (QWidget *ctrl : ctrls)
            delete ctrl;
    };
    designer->Delete(nullptr);
    EXPECT_EQ(handed, QList<QWidget *>({a}));
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_EQ(Engine()->SelectedCtrl(), nullptr);
    Shot();
}

} // namespace

namespace {

TEST_F(DesignerTest, AFreedSurfaceTakesTheEngineAlongAndTheDesignerMovesOnToAnother)
{
    Click(Centre(Add(QStringLiteral("A"), QRect(100, 100, 80, 30))));
    ASSERT_EQ(Selected().size(), 1);
    delete view;
    view = nullptr;
    EXPECT_EQ(designer->Surface(), nullptr);

    view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Second")));
    view->resize(900, 960);
    designer->SetSurface(view);
    EXPECT_EQ(Engine()->parentWidget(), view);
    EXPECT_EQ(Engine()->geometry(), view->ClientRect());
    auto *b = Add(QStringLiteral("B"), QRect(100, 100, 80, 30));
    Drag(Centre(b), Centre(b) + QPoint(10, 10));
    EXPECT_EQ(b->geometry(), QRect(110, 110, 80, 30));
    EXPECT_EQ(Moved.size(), 1); // the host's events stayed with the designer

    // Zoomed in, the page shows scroll bars: the engine keeps off them.
    view->SetZoom(300);
    EXPECT_LT(view->ClientRect().width(), view->width());
    EXPECT_EQ(Engine()->geometry(), view->ClientRect());
    view->SetZoom(50);
    EXPECT_EQ(Engine()->geometry(), view->rect());
}

} // namespace
