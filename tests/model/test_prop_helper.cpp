#include "CGlobal.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "GlobalsGuard.h"

#include <gtest/gtest.h>

namespace {
QMetaProperty Prop(const char *name)
{
    const QMetaObject &mo = TPropGroupBorder::staticMetaObject;
    return mo.property(mo.indexOfProperty(name));
}

// A record of type 5: a text and a flag.
class TSampleParams : public TPropParamsListHelperParams
{
public:
    TSampleParams(const QString &text, bool flag) : Text(text), Flag(flag) { }
    QString AsString() const override
    {
        return QStringList({"5", TPropParamsListHelper::FieldText(Text), Flag ? "1" : "0"})
            .join(TPropParamsListHelper::Separator);
    }
    QString Text;
    bool Flag;
};

class TSampleList : public TPropParamsListHelper
{
public:
    QList<int> UnknownTypes;

protected:
    void AddParams(int type, const QString &source) override
    {
        if (type != 5) {
            UnknownTypes.append(type);
            return;
        }
        const QString text = GetStrParam(source);
        const bool flag = GetBoolParam(source);
        Add(std::make_unique<TSampleParams>(text, flag));
    }
};

const QString kSep(TPropParamsListHelper::Separator);

TSampleParams *At(const TSampleList &list, int index)
{
    return static_cast<TSampleParams *>(list.Params(index));
}

// Translating writes its answer to a global that later tests read.
class PropHelper : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
};
} // namespace

TEST_F(PropHelper, EntriesMatchWithoutRegardToCase)
{
    TPropHelper helper;
    helper.AddInfo("BorderWidth", "Width (Pixels)", 810);
    helper.AddInfo("BorderColor", "Color", 820);
    EXPECT_TRUE(helper.PropUsed("borderwidth"));
    EXPECT_TRUE(helper.PropUsed(nullptr, Prop("BorderColor")));
    EXPECT_FALSE(helper.PropUsed(nullptr, Prop("BorderPublish")));

    GlobalGeneralString = "untouched";
    EXPECT_FALSE(helper.Translated("BorderPublish"));
    EXPECT_EQ(GlobalGeneralString, "untouched");
    EXPECT_TRUE(helper.Translated("BORDERWIDTH"));
    EXPECT_EQ(GlobalGeneralString, "Width (Pixels)");

    helper.AddInfo("borderWIDTH", "Width", 805);
    EXPECT_EQ(helper.Count(), 2);
    EXPECT_EQ(helper.Info("BorderWidth")->Caption, "Width");

    helper.RemoveInfo("BORDERCOLOR");
    helper.RemoveInfo("NotThere");
    EXPECT_FALSE(helper.PropUsed("BorderColor"));
    helper.Clear();
    EXPECT_EQ(helper.Count(), 0);
}

TEST_F(PropHelper, SortCompareUsesOrdersAndZeroForUnknown)
{
    TPropHelper helper;
    helper.AddInfo("BorderWidth", "Width (Pixels)", 810);
    helper.AddInfo("BorderColor", "Color", 820);
    helper.AddInfo("BorderPublish", "Publish", -5);
    EXPECT_EQ(helper.SortCompare(nullptr, Prop("BorderWidth"), Prop("BorderColor")), -1);
    EXPECT_EQ(helper.SortCompare(nullptr, Prop("BorderColor"), Prop("BorderWidth")), 1);
    EXPECT_EQ(helper.SortCompare(nullptr, Prop("BorderColor"), Prop("BorderColor")), 0);
    EXPECT_EQ(helper.SortCompare("Unknown", "BorderPublish"), 1);
    EXPECT_EQ(helper.SortCompare("Unknown", "Other"), 0);
}

TEST_F(PropHelper, ParamsFieldsReadInOrderAndPassTheEnd)
{
    TSampleList list;
    const QString packed = "5" + kSep + "abc" + kSep + "1";
    EXPECT_EQ(list.GetIntParam(packed), 5);
    EXPECT_EQ(list.GetStrParam(packed), "abc");
    EXPECT_TRUE(list.GetBoolParam(packed));
    EXPECT_GT(list.Position(), packed.size());
    EXPECT_EQ(list.GetStrParam(packed), "");

    TSampleList empties;
    const QString blank = kSep + kSep + "0";
    EXPECT_EQ(empties.GetIntParam(blank), 0);
    EXPECT_EQ(empties.GetStrParam(blank), "");
    EXPECT_FALSE(empties.GetBoolParam(blank));
}

TEST_F(PropHelper, ParamsListRoundTrips)
{
    TSampleList list;
    list.StrToList("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ListToStr(), "");

    list.StrToList("5" + kSep + "abc" + kSep + "1");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(At(list, 0)->Text, "abc");
    EXPECT_TRUE(At(list, 0)->Flag);

    list.Add(std::make_unique<TSampleParams>("x" + kSep + "y", false));
    const QString packed = list.ListToStr();
    EXPECT_EQ(packed, "5" + kSep + "abc" + kSep + "1" + kSep + "5" + kSep + "xy" + kSep + "0");

    TSampleList copy;
    copy.StrToList(packed);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(At(copy, 1)->Text, "xy");
    EXPECT_FALSE(At(copy, 1)->Flag);
    EXPECT_EQ(copy.ListToStr(), packed);

    copy.StrToList("5" + kSep + "a" + kSep + kSep + "5" + kSep + "b" + kSep + "1");
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(At(copy, 1)->Text, "b");
}

TEST_F(PropHelper, ParamsListEndsOnUnknownTypes)
{
    TSampleList list;
    list.StrToList("7" + kSep + "junk" + kSep);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.UnknownTypes, QList<int>({7, 0}));
}
