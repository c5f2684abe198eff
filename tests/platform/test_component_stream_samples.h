#pragma once
// Classes the stream tests write and read: a component with a property of
// every kind and values of its own, nested groups, a kind that starts from
// another value than its base declares, and widgets for child lists.

#include "CColor.h"
#include "CComponent.h"
#include "CComponentStream.h"
#include "CPublished.h"
#include "CVeloraTypes.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>
#include <ostream>

class TSampleLeaf : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TColor LeafColor READ LeafColor WRITE SetLeafColor)
    Q_CLASSINFO("Default:LeafColor", "clBlack")
    Q_PROPERTY(int LeafWidth READ LeafWidth WRITE SetLeafWidth)
    Q_CLASSINFO("Default:LeafWidth", "0")

public:
    explicit TSampleLeaf(QObject *parent) : QObject(parent) { }
    TColor LeafColor() const { return m_color; }
    void SetLeafColor(TColor v) { m_color = v; }
    int LeafWidth() const { return m_width; }
    void SetLeafWidth(int v) { m_width = v; }

private:
    TColor m_color = clBlack;
    int m_width = 0;
};

class TSampleGroup : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TSampleLeaf *GroupLeaf READ GroupLeaf)
    Q_PROPERTY(VeloraEnums::TAlignment GroupAlign READ GroupAlign WRITE SetGroupAlign)
    Q_CLASSINFO("Default:GroupAlign", "taLeftJustify")
    Q_PROPERTY(QStringList GroupLines READ GroupLines WRITE SetGroupLines)

public:
    explicit TSampleGroup(QObject *parent) : QObject(parent), m_leaf(new TSampleLeaf(this)) { }
    TSampleLeaf *GroupLeaf() const { return m_leaf; }
    TAlignment GroupAlign() const { return m_align; }
    void SetGroupAlign(TAlignment v) { m_align = v; }
    QStringList GroupLines() const { return m_lines; }
    void SetGroupLines(const QStringList &v) { m_lines = v; }

private:
    TSampleLeaf *m_leaf;
    TAlignment m_align = taLeftJustify;
    QStringList m_lines;
};

class TSampleComponent : public QObject, public TComponent, public TCustomStreaming
{
    Q_OBJECT
    Q_PROPERTY(bool Flag READ Flag WRITE SetFlag)
    Q_CLASSINFO("Default:Flag", "false")
    Q_PROPERTY(int Count READ Count WRITE SetCount)
    Q_CLASSINFO("Default:Count", "0")
    Q_PROPERTY(qint64 Big READ Big WRITE SetBig)
    Q_CLASSINFO("Default:Big", "0")
    Q_PROPERTY(Extended Ratio READ Ratio WRITE SetRatio)
    Q_PROPERTY(double Scale READ Scale WRITE SetScale)
    Q_PROPERTY(float Small READ Small WRITE SetSmall)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(VeloraEnums::TParagraphStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("Default:Style", "psVariable")
    Q_PROPERTY(VeloraEnums::TCharacterStyles Font READ Font WRITE SetFont)
    Q_CLASSINFO("Default:Font", "")
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_CLASSINFO("Default:Color", "clWhite")
    Q_PROPERTY(QByteArray Blob READ Blob WRITE SetBlob)
    Q_PROPERTY(TSampleGroup *Group READ Group)
    Q_PROPERTY(TSampleComponent *Buddy READ Buddy WRITE SetBuddy)
    Q_PROPERTY(int Scratch READ Count STORED false)

public:
    explicit TSampleComponent(TComponent *owner = nullptr)
        : QObject(nullptr), TComponent(this, owner), m_group(new TSampleGroup(this))
    { }

    bool Flag() const { return m_flag; }
    void SetFlag(bool v) { m_flag = v; }
    int Count() const { return m_count; }
    void SetCount(int v) { m_count = v; }
    qint64 Big() const { return m_big; }
    void SetBig(qint64 v) { m_big = v; }
    Extended Ratio() const { return m_ratio; }
    void SetRatio(Extended v) { m_ratio = v; }
    double Scale() const { return m_scale; }
    void SetScale(double v) { m_scale = v; }
    float Small() const { return m_small; }
    void SetSmall(float v) { m_small = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v) { m_caption = v; }
    TParagraphStyle Style() const { return m_style; }
    void SetStyle(TParagraphStyle v) { m_style = v; }
    TCharacterStyles Font() const { return m_font; }
    void SetFont(TCharacterStyles v) { m_font = v; }
    TColor Color() const { return m_color; }
    void SetColor(TColor v) { m_color = v; }
    QByteArray Blob() const { return m_blob; }
    void SetBlob(const QByteArray &v) { m_blob = v; }
    TSampleGroup *Group() const { return m_group; }
    TSampleComponent *Buddy() const { return m_buddy; }
    void SetBuddy(TSampleComponent *v) { m_buddy = v; }

    // "Extra" is a data block; "Legacy.Data" is only read, as older files hold it;
    // "Items" is a collection kept as it stands.
    void DefineProperties(TFiler &filer) override;
    QByteArray Extra;
    QByteArray Legacy;
    TStreamValue Items;

    void Loaded() override
    {
        ++LoadedCount;
        StateWhenLoaded = ComponentState();
    }
    int LoadedCount = 0;
    unsigned StateWhenLoaded = ~0u;

private:
    bool m_flag = false;
    int m_count = 0;
    qint64 m_big = 0;
    Extended m_ratio = 0;
    double m_scale = 0;
    float m_small = 0;
    QString m_caption;
    TParagraphStyle m_style = psVariable;
    TCharacterStyles m_font;
    TColor m_color = clWhite;
    QByteArray m_blob;
    TSampleGroup *m_group;
    TSampleComponent *m_buddy = nullptr;
};

// Starts from values other than those its base declares, as some element kinds do.
class TSampleRight : public TSampleComponent
{
    Q_OBJECT
public:
    explicit TSampleRight(TComponent *owner = nullptr) : TSampleComponent(owner)
    {
        SetCount(5);
        Group()->SetGroupAlign(taRightJustify);
    }
};

// A widget that holds children, as a page surface holds elements.
class TSamplePanel : public QWidget, public TComponent
{
    Q_OBJECT
    Q_PROPERTY(int Level READ Level WRITE SetLevel)
    Q_CLASSINFO("Default:Level", "0")

public:
    explicit TSamplePanel(TComponent *owner = nullptr) : QWidget(nullptr), TComponent(this, owner)
    { }
    int Level() const { return m_level; }
    void SetLevel(int v) { m_level = v; }

private:
    int m_level = 0;
};

// Hides itself when made, as elements without a body do.
class TSampleHidden : public TSamplePanel
{
    Q_OBJECT
public:
    explicit TSampleHidden(TComponent *owner = nullptr) : TSamplePanel(owner) { setVisible(false); }
};

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
