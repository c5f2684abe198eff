#include "CComponent.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
class TBox : public QWidget, public TComponent
{
public:
    explicit TBox(TComponent *owner, QWidget *parent = nullptr)
        : QWidget(parent), TComponent(this, owner)
    { }
};
} // namespace

TEST(Components, NamesAreUniqueAmongAnOwnersComponentsIgnoringCase)
{
    TObjectComponent owner;
    auto *first = new TBox(&owner);
    first->SetName(QStringLiteral("Box1"));
    auto *second = new TBox(&owner);
    EXPECT_THROW(second->SetName(QStringLiteral("box1")), EComponentError);
    EXPECT_TRUE(second->Name().isEmpty());

    // Renaming a component to another spelling of its own name is fine.
    EXPECT_NO_THROW(first->SetName(QStringLiteral("BOX1")));
    EXPECT_EQ(owner.FindComponent(QStringLiteral("box1")), first);
    EXPECT_EQ(first->objectName(), QStringLiteral("BOX1"));

    // Another owner keeps its own names.
    TObjectComponent other;
    auto *elsewhere = new TBox(&other);
    EXPECT_NO_THROW(elsewhere->SetName(QStringLiteral("Box1")));

    EXPECT_THROW(second->SetName(QStringLiteral("1Box")), EComponentError);
    EXPECT_THROW(second->SetName(QStringLiteral("Box 2")), EComponentError);
}

TEST(Components, MovingANamedComponentToAnOwnerWithThatNameIsRefused)
{
    TObjectComponent a, b;
    auto *inA = new TBox(&a);
    inA->SetName(QStringLiteral("Amount"));
    auto *inB = new TBox(&b);
    inB->SetName(QStringLiteral("AMOUNT"));
    EXPECT_THROW(a.InsertComponent(inB), EComponentError);
    EXPECT_EQ(inB->Owner(), &b);
    EXPECT_EQ(a.ComponentCount(), 1);
}

TEST(Components, OwnerFreesItsComponentsAndDeletedOnesLeaveTheList)
{
    QPointer<QWidget> kept, gone;
    {
        TObjectComponent owner;
        auto *a = new TBox(&owner);
        auto *b = new TBox(&owner);
        kept = a;
        gone = b;
        delete b;
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_EQ(owner.Components(0), a);
    }
    EXPECT_TRUE(kept.isNull());
}

TEST(Components, QtParentAndOwnerMayDifferWithoutDoubleDeletion)
{
    // Elements sit on a page surface (Qt parent) but belong to the page control (owner).
    TObjectComponent owner;
    QPointer<TBox> element;
    {
        QWidget surface;
        element = new TBox(&owner, &surface);
        element->SetName(QStringLiteral("Name"));
    }
    EXPECT_TRUE(element.isNull());
    EXPECT_EQ(owner.ComponentCount(), 0);

    auto surface = std::make_unique<TBox>(nullptr);
    {
        TObjectComponent shortLived;
        element = new TBox(&shortLived, surface.get());
    }
    EXPECT_TRUE(element.isNull());
    EXPECT_TRUE(surface->children().isEmpty());
}
