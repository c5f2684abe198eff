#include "CPropertyGrid.h"

#include "CException.h"

#include "CComponent.h"
#include "CDialogService.h"
#include "CPropEditors.h"
#include "CPublished.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {
const QString kNameRow = QStringLiteral("Name");

void TellRefused(const QString &message)
{
    Global_MessageDlg(GlobalAppTitle(), message, mtError, mbOK, 0);
}

// The text a long floating-point value shows: its shortest exact-enough form.
QString ShownNumber(const QString &stored)
{
    bool ok = false;
    const double v = stored.toDouble(&ok);
    return ok ? QString::number(v, 'g', 15) : stored;
}
} // namespace

int TPropGridNode::Row() const
{
    if (!Parent)
        return 0;
    for (size_t i = 0; i < Parent->Children.size(); ++i)
        if (Parent->Children[i].get() == this)
            return int(i);
    return 0;
}

TPropEditor *TPropGridNode::RowEditor()
{
    if (!Editor && !IsName && !Nested && Property.isValid())
        Editor = CreatePropEditor(Holders, Property);
    return Editor.get();
}

// ---------------------------------------------------------------------------
// TPropertyGridModel

TPropertyGridModel::TPropertyGridModel(QObject *parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<TPropGridNode>())
{ }

TPropertyGridModel::~TPropertyGridModel() = default;

void TPropertyGridModel::SetObjects(const QList<QObject *> &objects)
{
    beginResetModel();
    m_objects = objects;
    m_root = std::make_unique<TPropGridNode>();
    if (!objects.isEmpty())
        BuildChildren(m_root.get(), objects);
    endResetModel();
}

void TPropertyGridModel::BuildChildren(TPropGridNode *parent, const QList<QObject *> &holders)
{
    QObject *first = holders.first();
    const QMetaObject *firstMeta = first->metaObject();
    if (!parent->Parent && holders.size() == 1 && OnNameRow && OnNameRow(first)) {
        auto node = std::make_unique<TPropGridNode>();
        node->Parent = parent;
        node->Name = node->Path = node->Caption = kNameRow;
        node->Holders = holders;
        node->IsName = true;
        parent->Children.push_back(std::move(node));
    }
    // Objects of one class share their properties: look each class up once.
    struct TClassCheck
    {
        const QMetaObject *Meta;
        QObject *Sample;
    };
    QList<TClassCheck> classes;
    for (QObject *holder : holders)
        if (std::none_of(classes.begin(), classes.end(),
                         [&](const TClassCheck &c) { return c.Meta == holder->metaObject(); }))
            classes.append({holder->metaObject(), holder});

    std::vector<std::unique_ptr<TPropGridNode>> rows;
    for (const QMetaProperty &property : StoredProperties(firstMeta)) {
        if (OnFilterProp && !OnFilterProp(first, property))
            continue;
        // Listed only when every selected object has it, of the same type, and shows it.
        bool shared = true;
        for (const TClassCheck &c : std::as_const(classes)) {
            if (c.Meta == firstMeta)
                continue;
            const int index = c.Meta->indexOfProperty(property.name());
            const QMetaProperty other = index >= 0 ? c.Meta->property(index) : QMetaProperty();
            if (!other.isValid() || other.metaType() != property.metaType()
                || (OnFilterProp && !OnFilterProp(c.Sample, other))) {
                shared = false;
                break;
            }
        }
        if (!shared)
            continue;
        auto node = std::make_unique<TPropGridNode>();
        node->Parent = parent;
        node->Name = QString::fromLatin1(property.name());
        node->Path = parent->Path.isEmpty() ? node->Name : parent->Path + u'.' + node->Name;
        node->Caption = OnTranslateProp ? OnTranslateProp(first, property) : node->Name;
        node->Property = property;
        node->Holders = holders;
        if (PropertyKindOf(property) == TPropertyKind::Nested) {
            node->Nested = true;
            QList<QObject *> groups;
            groups.reserve(holders.size());
            for (QObject *holder : holders) {
                const QMetaObject *meta = holder->metaObject();
                const QMetaProperty own = meta == firstMeta
                    ? property
                    : meta->property(meta->indexOfProperty(property.name()));
                QObject *group = own.read(holder).value<QObject *>();
                if (!group)
                    break;
                groups.append(group);
            }
            if (groups.size() != holders.size())
                continue;
            BuildChildren(node.get(), groups);
            if (node->Children.empty())
                continue;
            node->Holders = groups;
        }
        rows.push_back(std::move(node));
    }
    if (OnCompare)
        std::stable_sort(rows.begin(), rows.end(), [&](const auto &a, const auto &b) {
            return OnCompare(first, a->Property, b->Property) < 0;
        });
    for (auto &row : rows)
        parent->Children.push_back(std::move(row));
}

void TPropertyGridModel::ReadValue(TPropGridNode *node) const
{
    if (node->ValueRead)
        return;
    node->ValueRead = true;
    node->Mixed = false;
    if (node->IsName) {
        const auto *component = dynamic_cast<const TComponent *>(node->Holders.first());
        node->Stored = component ? component->Name() : node->Holders.first()->objectName();
        return;
    }
    if (node->Nested)
        return;
    QObject *first = node->Holders.first();
    node->Stored = PropertyValueText(first, node->Property);
    if (node->Holders.size() == 1)
        return;
    const QVariant firstValue = node->Property.read(first);
    const QMetaObject *firstMeta = first->metaObject();
    for (qsizetype i = 1; i < node->Holders.size(); ++i) {
        QObject *holder = node->Holders.at(i);
        QMetaProperty property = node->Property;
        if (holder->metaObject() != firstMeta)
            property = holder->metaObject()->property(
                holder->metaObject()->indexOfProperty(node->Property.name()));
        if (property.read(holder) == firstValue)
            continue;
        if (PropertyValueText(holder, property) != node->Stored) {
            node->Mixed = true;
            node->Stored.clear();
            return;
        }
    }
}

QString TPropertyGridModel::StoredValue(TPropGridNode *node) const
{
    ReadValue(node);
    return node->Stored;
}

void TPropertyGridModel::ForgetValues(TPropGridNode *node)
{
    node->ValueRead = false;
    for (auto &child : node->Children)
        ForgetValues(child.get());
}

void TPropertyGridModel::EmitValuesChanged(TPropGridNode *node)
{
    if (node->Children.empty())
        return;
    emit dataChanged(IndexOf(node->Children.front().get(), 1),
                     IndexOf(node->Children.back().get(), 1));
    for (auto &child : node->Children)
        EmitValuesChanged(child.get());
}

void TPropertyGridModel::RefreshValues()
{
    ForgetValues(m_root.get());
    EmitValuesChanged(m_root.get());
}

TPropGridNode *TPropertyGridModel::Node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TPropGridNode *>(index.internalPointer()) : m_root.get();
}

QModelIndex TPropertyGridModel::IndexOf(const TPropGridNode *node, int column) const
{
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->Row(), column, const_cast<TPropGridNode *>(node));
}

QModelIndex TPropertyGridModel::FindPath(const QString &path) const
{
    const TPropGridNode *node = m_root.get();
    for (const QString &name : path.split(u'.')) {
        const auto it = std::find_if(node->Children.begin(), node->Children.end(),
                                     [&](const auto &c) { return c->Name == name; });
        if (it == node->Children.end())
            return {};
        node = it->get();
    }
    return IndexOf(node);
}

QModelIndex TPropertyGridModel::index(int row, int column, const QModelIndex &parent) const
{
    const TPropGridNode *node = Node(parent);
    if (row < 0 || row >= int(node->Children.size()) || column < 0 || column > 1)
        return {};
    return createIndex(row, column, node->Children[size_t(row)].get());
}

QModelIndex TPropertyGridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return IndexOf(Node(child)->Parent);
}

int TPropertyGridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(Node(parent)->Children.size());
}

int TPropertyGridModel::columnCount(const QModelIndex &) const
{
    return 2;
}

QVariant TPropertyGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    TPropGridNode *node = Node(index);
    if (index.column() == 0) {
        if (role == Qt::DisplayRole)
            return node->Caption;
        if (role == Qt::ToolTipRole)
            return node->Path;
        if (role == Qt::FontRole && node->Nested) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (node->Nested)
        return QString();
    ReadValue(node);
    if (node->Mixed)
        return QString();
    if (TPropEditor *editor = node->RowEditor()) {
        const TPropertyKind kind = PropertyKindOf(node->Property);
        if (editor->Kind() == TPropEditorKind::String
            && (kind == TPropertyKind::Extended || kind == TPropertyKind::Floating))
            return ShownNumber(node->Stored);
        return editor->DisplayText(node->Stored);
    }
    return node->Stored;
}

bool TPropertyGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != 1)
        return false;
    return CommitText(index, value.toString());
}

bool TPropertyGridModel::CommitText(const QModelIndex &index, const QString &typed)
{
    TPropGridNode *node = Node(index);
    if (!index.isValid() || node->Nested)
        return false;
    ReadValue(node);
    // Leaving a row unchanged is no edit, even where the row shows a rounded value.
    if (!node->Mixed && typed == data(index.siblingAtColumn(1), Qt::DisplayRole).toString())
        return true;
    QString stored = typed;
    if (TPropEditor *editor = node->RowEditor()) {
        QString error;
        if (!editor->StoredText(typed, stored, error)) {
            TellRefused(error);
            return false;
        }
    }
    return CommitStored(node, stored);
}

bool TPropertyGridModel::CommitStored(TPropGridNode *node, const QString &stored)
{
    ReadValue(node);
    if (!node->Mixed && stored == node->Stored)
        return true;
    if (!OnChangeProperty)
        return false;
    const QString path = node->Path;
    // A refusal that knows its reason raises it; the plain one is told as invalid.
    bool done = false;
    QString refused = QStringLiteral("Invalid property value");
    try {
        done = OnChangeProperty(m_objects, path, stored);
    } catch (const EVeloraError &error) {
        refused = error.Message();
    }
    RefreshValues();
    if (!done) {
        TellRefused(refused);
        return false;
    }
    emit PropertyCommitted(path);
    return true;
}

Qt::ItemFlags TPropertyGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TPropGridNode *node = Node(index);
    if (index.column() == 1 && !node->Nested
        && (node->IsName
            || (node->Property.isWritable()
                && PropertyKindOf(node->Property) != TPropertyKind::Reference)))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TPropertyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Property") : QStringLiteral("Value");
}

// ---------------------------------------------------------------------------
// TPropertyGridDelegate

namespace {
// A dialog row: the value as text and a button that opens the dialog.
class TPropDialogEditor : public QWidget
{
public:
    explicit TPropDialogEditor(QWidget *parent) : QWidget(parent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        Line = new QLineEdit(this);
        Line->setFrame(false);
        Button = new QToolButton(this);
        Button->setObjectName(QStringLiteral("PropertyDialogButton"));
        Button->setText(QStringLiteral("..."));
        layout->addWidget(Line, 1);
        layout->addWidget(Button);
        setFocusProxy(Line);
        setAutoFillBackground(true);
    }
    QLineEdit *Line;
    QToolButton *Button;
};

QString EditorText(QWidget *editor)
{
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        return combo->currentText();
    if (auto *dialog = dynamic_cast<TPropDialogEditor *>(editor))
        return dialog->Line->text();
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        return line->text();
    return {};
}
} // namespace

QWidget *TPropertyGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                             const QModelIndex &index) const
{
    auto *model
        = const_cast<TPropertyGridModel *>(qobject_cast<const TPropertyGridModel *>(index.model()));
    if (!model)
        return nullptr;
    TPropGridNode *node = model->Node(index);
    TPropEditor *editor = node->RowEditor();
    const QStringList values = editor ? editor->GetValues() : QStringList();
    if (editor && editor->Kind() == TPropEditorKind::Dialog) {
        auto *widget = new TPropDialogEditor(parent);
        const QPersistentModelIndex at(index);
        connect(widget->Button, &QToolButton::clicked, widget, [this, widget, model, at] {
            if (!at.isValid())
                return;
            TPropGridNode *row = model->Node(at);
            QString stored = model->StoredValue(row);
            if (row->RowEditor() && row->RowEditor()->Edit(stored))
                model->CommitStored(row, stored);
            else
                model->RefreshValues();
            widget->Line->setText(model->data(at, Qt::EditRole).toString());
            emit const_cast<TPropertyGridDelegate *>(this)->closeEditor(widget);
        });
        connect(widget->Line, &QLineEdit::returnPressed, widget, [this, widget] {
            auto *self = const_cast<TPropertyGridDelegate *>(this);
            emit self->commitData(widget);
            emit self->closeEditor(widget);
        });
        return widget;
    }
    if ((editor && editor->Kind() == TPropEditorKind::Ordinal) || !values.isEmpty()) {
        auto *combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("PropertyValueList"));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setFrame(false);
        combo->addItems(values);
        // Typed text is matched, ignoring case, when committed, not completed under the caret.
        combo->setCompleter(nullptr);
        combo->setMaxVisibleItems(16);
        // A pick from the list is an edit of its own.
        connect(combo, &QComboBox::activated, combo, [this, combo] {
            emit const_cast<TPropertyGridDelegate *>(this)->commitData(combo);
        });
        return combo;
    }
    auto *line = new QLineEdit(parent);
    line->setObjectName(QStringLiteral("PropertyValueEdit"));
    line->setFrame(false);
    return line;
}

void TPropertyGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(combo->findText(text));
        combo->setEditText(text);
        combo->lineEdit()->selectAll();
    } else if (auto *dialog = dynamic_cast<TPropDialogEditor *>(editor)) {
        dialog->Line->setText(text);
        dialog->Line->selectAll();
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(text);
        line->selectAll();
    }
}

void TPropertyGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                         const QModelIndex &index) const
{
    auto *grid = qobject_cast<TPropertyGridModel *>(model);
    // A refused text goes back to the value kept, so that the editor closing later does
    // not offer it (and its message) a second time.
    if (grid && !grid->CommitText(index, EditorText(editor)))
        setEditorData(editor, index);
}

QSize TPropertyGridDelegate::sizeHint(const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), option.fontMetrics.height() + 6));
    return size;
}

// ---------------------------------------------------------------------------
// TPropertyGrid

TPropertyGrid::TPropertyGrid(QWidget *parent)
    : QTreeView(parent), m_model(new TPropertyGridModel(this))
{
    setObjectName(QStringLiteral("PropertyInspector"));
    setModel(m_model);
    setItemDelegate(new TPropertyGridDelegate(this));
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    header()->setSectionResizeMode(0, QHeaderView::Interactive);
    header()->setStretchLastSection(true);
    setColumnWidth(0, m_splitter);

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        const QString name = m_model->Node(index)->Name;
        if (m_tracking && !m_expanded.contains(name)) {
            m_expanded.append(name);
            m_expanded.sort();
        }
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (m_tracking)
            m_expanded.removeAll(m_model->Node(index)->Name);
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 0 && m_tracking)
            m_splitter = size;
    });
}

void TPropertyGrid::SetObjects(const QList<QObject *> &objects)
{
    m_tracking = false;
    m_model->SetObjects(objects);
    RestoreExpanded({});
    setColumnWidth(0, m_splitter);
    m_tracking = true;
}

void TPropertyGrid::RestoreExpanded(const QModelIndex &parent)
{
    for (int row = 0; row < m_model->rowCount(parent); ++row) {
        const QModelIndex index = m_model->index(row, 0, parent);
        if (m_model->rowCount(index) == 0 || !m_expanded.contains(m_model->Node(index)->Name))
            continue;
        expand(index);
        RestoreExpanded(index);
    }
}

void TPropertyGrid::SetExpanded(const QStringList &names)
{
    m_expanded = names;
    m_expanded.removeAll(QString());
    m_expanded.removeDuplicates();
    m_expanded.sort();
}

void TPropertyGrid::SetSplitter(int width)
{
    m_splitter = qMax(16, width);
    const bool tracking = m_tracking;
    m_tracking = false;
    setColumnWidth(0, m_splitter);
    m_tracking = tracking;
}

QString TPropertyGrid::CurrentPropertyName() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? m_model->Node(index)->Name : QString();
}

QString TPropertyGrid::CurrentParentName() const
{
    const QModelIndex index = currentIndex();
    const TPropGridNode *parent = index.isValid() ? m_model->Node(index)->Parent : nullptr;
    return parent ? parent->Name : QString();
}

bool TPropertyGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A row edits its value whichever column was clicked or typed into.
    if (index.isValid() && index.column() == 0) {
        const QModelIndex value = index.siblingAtColumn(1);
        if (m_model->flags(value) & Qt::ItemIsEditable) {
            if (trigger == SelectedClicked || trigger == DoubleClicked || trigger == EditKeyPressed
                || trigger == AnyKeyPressed) {
                setCurrentIndex(value);
                return QTreeView::edit(value, trigger, event);
            }
        }
    }
    return QTreeView::edit(index, trigger, event);
}

void TPropertyGrid::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    SetSplitter(m_splitter);
}

void TPropertyGrid::focusOutEvent(QFocusEvent *event)
{
    m_splitter = columnWidth(0);
    QTreeView::focusOutEvent(event);
}
