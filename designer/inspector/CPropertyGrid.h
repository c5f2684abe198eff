#pragma once
// The property grid: a tree of the published properties that all selected
// objects share, nested property groups as expandable categories, values
// edited in place. What is listed, under which caption and in which order is
// left to callbacks; every committed edit goes through one change callback.

#include <QAbstractItemModel>
#include <QList>
#include <QMetaProperty>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <functional>
#include <memory>
#include <vector>

class TPropEditor;

// One row: a property of every selected object (reached through the same path).
struct TPropGridNode
{
    TPropGridNode *Parent = nullptr;
    std::vector<std::unique_ptr<TPropGridNode>> Children;
    QString Name;
    QString Path;
    QString Caption;
    // The objects holding the property, one per selected object.
    QList<QObject *> Holders;
    QMetaProperty Property;
    bool IsName = false; // the component name, which is no published property
    bool Nested = false;
    std::unique_ptr<TPropEditor> Editor;
    // Read when first shown, dropped when anything changes.
    bool ValueRead = false;
    bool Mixed = false;
    QString Stored;

    int Row() const;
    TPropEditor *RowEditor();
};

class TPropertyGridModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    using TFilterProp = std::function<bool(QObject *holder, const QMetaProperty &property)>;
    using TTranslateProp = std::function<QString(QObject *holder, const QMetaProperty &property)>;
    using TCompareProp
        = std::function<int(QObject *holder, const QMetaProperty &a, const QMetaProperty &b)>;
    using TChangeProperty = std::function<bool(const QList<QObject *> &objects, const QString &path,
                                               const QString &value)>;

    explicit TPropertyGridModel(QObject *parent = nullptr);
    ~TPropertyGridModel() override;

    TFilterProp OnFilterProp;
    TTranslateProp OnTranslateProp;
    TCompareProp OnCompare;
    TChangeProperty OnChangeProperty;
    // Whether a single selected object gets a "Name" row (the component's name).
    std::function<bool(QObject *object)> OnNameRow;

    void SetObjects(const QList<QObject *> &objects);
    const QList<QObject *> &Objects() const { return m_objects; }
    // Values are read again; the rows stay.
    void RefreshValues();

    TPropGridNode *Node(const QModelIndex &index) const;
    QModelIndex IndexOf(const TPropGridNode *node, int column = 0) const;
    // The row of a property path, invalid when none shows.
    QModelIndex FindPath(const QString &path) const;
    // The stored text, empty when the objects disagree.
    QString StoredValue(TPropGridNode *node) const;
    // Sets a value given as its row shows it; false, after telling the user, when refused.
    bool CommitText(const QModelIndex &index, const QString &typed);
    // Sets a stored value on all objects as one change; false when refused.
    bool CommitStored(TPropGridNode *node, const QString &stored);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void PropertyCommitted(const QString &path);

private:
    void BuildChildren(TPropGridNode *parent, const QList<QObject *> &holders);
    void ReadValue(TPropGridNode *node) const;
    void ForgetValues(TPropGridNode *node);
    void EmitValuesChanged(TPropGridNode *node);

    QList<QObject *> m_objects;
    std::unique_ptr<TPropGridNode> m_root;
};

// In-place editors: a drop-down for lists (typing allowed), a line with a button
// for dialogs, a plain line otherwise.
class TPropertyGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

class TPropertyGrid : public QTreeView
{
    Q_OBJECT
public:
    static constexpr int DefaultSplitter = 125;

    explicit TPropertyGrid(QWidget *parent = nullptr);

    TPropertyGridModel *Model() const { return m_model; }
    void SetObjects(const QList<QObject *> &objects);
    void RefreshValues() { m_model->RefreshValues(); }

    // Names of the expanded rows, sorted; rows of these names expand whenever they show.
    QStringList Expanded() const { return m_expanded; }
    void SetExpanded(const QStringList &names);
    int Splitter() const { return m_splitter; }
    void SetSplitter(int width);
    // The property name of the current row and of its parent row.
    QString CurrentPropertyName() const;
    QString CurrentParentName() const;

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void RestoreExpanded(const QModelIndex &parent);

    TPropertyGridModel *m_model;
    QStringList m_expanded;
    int m_splitter = DefaultSplitter;
    bool m_tracking = true;
};
