#include "CColor.h"
#include "CPublished.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {
class TSampleBase : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool Display READ Display WRITE SetDisplay)
    Q_CLASSINFO("Default:Display", "true")
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_CLASSINFO("Default:Color", "clWhite")
    Q_PROPERTY(int Scratch READ Width STORED false)

public:
    int Width() const { return m_width; }
    void SetWidth(int v) { m_width = v; }
    bool Display() const { return m_display; }
    void SetDisplay(bool v) { m_display = v; }
    TColor Color() const { return m_color; }
    void SetColor(TColor v) { m_color = v; }

private:
    int m_width = 65;
    bool m_display = true;
    TColor m_color = clWhite;
};

class TSample : public TSampleBase
{
    Q_OBJECT
public:
    enum TAlign { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlign)
    enum TStyle { csBold = 1, csItalic = 2 };
    Q_DECLARE_FLAGS(TStyles, TStyle)
    Q_FLAG(TStyles)

private:
    Q_PROPERTY(Extended RelLeft READ RelLeft WRITE SetRelLeft)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TAlign Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("Default:Alignment", "taCenter")
    Q_PROPERTY(TStyles Style READ Style WRITE SetStyle)
    Q_CLASSINFO("Default:Style", "")
    // A kind may give an inherited property a default of its own.
    Q_CLASSINFO("Default:Display", "false")

public:
    Extended RelLeft() const { return m_relLeft; }
    void SetRelLeft(Extended v) { m_relLeft = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v) { m_caption = v; }
    TAlign Alignment() const { return m_align; }
    void SetAlignment(TAlign v) { m_align = v; }
    TStyles Style() const { return m_style; }
    void SetStyle(TStyles v) { m_style = v; }

private:
    Extended m_relLeft = 0;
    QString m_caption;
    TAlign m_align = taCenter;
    TStyles m_style;
};

QStringList Names(const QList<QMetaProperty> &props)
{
    QStringList names;
    for (const QMetaProperty &p : props)
        names.append(QString::fromLatin1(p.name()));
    return names;
}
} // namespace

TEST(Published, StoredPropertiesRunInDeclarationOrderAncestorsFirst)
{
    const auto props = StoredProperties(&TSample::staticMetaObject);
    // objectName (framework) and Scratch (not stored) are not published.
    EXPECT_EQ(
        Names(props),
        QStringList({"Width", "Display", "Color", "RelLeft", "Caption", "Alignment", "Style"}));
    EXPECT_TRUE(
        FindStoredProperty(&TSample::staticMetaObject, QStringLiteral("caption")).isValid());
    EXPECT_FALSE(
        FindStoredProperty(&TSample::staticMetaObject, QStringLiteral("Scratch")).isValid());
}

TEST(Published, DefaultsDecideWhatIsWritten)
{
    TSample sample;
    auto isDefault = [&](const char *name) {
        return IsDefaultValue(&sample,
                              FindStoredProperty(sample.metaObject(), QLatin1String(name)));
    };
    // Ordinal properties without a declared default are always written.
    EXPECT_FALSE(isDefault("Width"));
    // The kind's own default wins over its ancestor's.
    EXPECT_FALSE(isDefault("Display"));
    sample.SetDisplay(false);
    EXPECT_TRUE(isDefault("Display"));
    EXPECT_TRUE(isDefault("Color"));
    EXPECT_TRUE(isDefault("RelLeft"));
    EXPECT_TRUE(isDefault("Caption"));
    EXPECT_TRUE(isDefault("Alignment"));
    EXPECT_TRUE(isDefault("Style"));

    sample.SetColor(clNavy);
    sample.SetRelLeft(12.345L);
    sample.SetCaption(QStringLiteral("x"));
    sample.SetAlignment(TSample::taRightJustify);
    sample.SetStyle(TSample::TStyles(TSample::csBold) | TSample::csItalic);
    for (const char *name : {"Color", "RelLeft", "Caption", "Alignment", "Style"})
        EXPECT_FALSE(isDefault(name)) << name;

    const QMetaObject *mo = sample.metaObject();
    EXPECT_EQ(PropertyValueText(&sample, FindStoredProperty(mo, QStringLiteral("Color"))),
              QStringLiteral("clNavy"));
    EXPECT_EQ(PropertyValueText(&sample, FindStoredProperty(mo, QStringLiteral("Alignment"))),
              QStringLiteral("taRightJustify"));
    EXPECT_EQ(PropertyValueText(&sample, FindStoredProperty(mo, QStringLiteral("Style"))),
              QStringLiteral("csBold|csItalic"));
}

TEST(Published, ExtendedKeepsItsPrecisionThroughAProperty)
{
    TSample sample;
    const Extended third = 1.0L / 3.0L;
    FindStoredProperty(sample.metaObject(), QStringLiteral("RelLeft"))
        .write(&sample, QVariant::fromValue(third));
    EXPECT_EQ(sample.RelLeft(), third);
    EXPECT_NE(double(third), third);
}

TEST(Published, ColoursConvertBetweenIdentifiersNumbersAndQColor)
{
    EXPECT_EQ(clNavy.Value, 0x800000);
    EXPECT_EQ(ColorToString(clNone), QStringLiteral("clNone"));
    EXPECT_EQ(ColorToString(TColor::FromRGB(1, 2, 3)), QStringLiteral("$00030201"));
    TColor c;
    ASSERT_TRUE(StringToColor(QStringLiteral("clbtnface"), &c));
    EXPECT_EQ(c, clBtnFace);
    ASSERT_TRUE(StringToColor(QStringLiteral("$00030201"), &c));
    EXPECT_EQ(c, TColor::FromRGB(1, 2, 3));
    EXPECT_FALSE(StringToColor(QStringLiteral("clMauve"), &c));
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(QColorToColor(QColor(0, 0, 128)), clNavy);
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}

TEST(Published, RoundIsHalfToEvenAndTruncGoesTowardZero)
{
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(3.5L), 4);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Trunc(-2.7L), -2);
    EXPECT_EQ(Trunc(2.7L), 2);
}

#include "test_published.moc"
