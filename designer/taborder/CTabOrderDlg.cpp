#include "CTabOrderDlg.h"

#include "CBasePgCtrl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kButtonKind = 105;
constexpr int kListedKind = 180;
constexpr int kHelpContext = 61;
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;
constexpr int kDefaultPlace = 32;

int WholeMillimetres(Extended value)
{
    return int(std::nearbyint(double(value)));
}

std::pair<int, int> Place(const TVisualPgCtrl *element)
{
    const TPropGroupPosSize *posSize = element->VisualPosSizeProps();
    if (!posSize)
        return {0, 0};
    return {WholeMillimetres(posSize->PosSizeTop()), WholeMillimetres(posSize->PosSizeLeft())};
}

QToolButton *SpeedButton(const QString &caption, const QString &hint, const char *name,
                         QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}
} // namespace

TTabOrderDlg::TTabOrderDlg(QWidget *parent) : TBaseINIForm(parent)
{
    setObjectName(QStringLiteral("TabOrderDialog"));
    setWindowTitle(QStringLiteral(" Tab Order"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);
    setProperty("HelpContext", kHelpContext);
    // Where the settings put it; never placed before, here.
    move(kDefaultPlace, kDefaultPlace);

    m_label = new QLabel(QStringLiteral("Project Form &Elements"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ControlsListBox"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->viewport()->installEventFilter(this);
    m_label->setBuddy(m_list);

    m_up = SpeedButton(QStringLiteral("&Up"), QStringLiteral("Move Up"), "UpSpeedButton", this);
    m_down = SpeedButton(QStringLiteral("Do&wn"), QStringLiteral("Move Down"), "DownSpeedButton",
                         this);
    m_auto = SpeedButton(QStringLiteral("&Auto."), QStringLiteral("Attempt Automatic Arrange"),
                         "AutoArrangeSpeedButton", this);
    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("ApplyButton"));
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    // Enter in the list is not meant to apply anything.
    m_apply->setAutoDefault(false);
    m_close->setAutoDefault(false);
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setObjectName(QStringLiteral("ScrollTimer"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    buttons->addSpacing(8);
    buttons->addWidget(m_auto);
    buttons->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_apply);
    bottom->addWidget(m_close);
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_label, 0, 0);
    grid->addWidget(m_list, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addLayout(bottom, 2, 0, 1, 2);
    resize(280, 320);

    for (auto [button, by] : {std::pair(m_up, -1), std::pair(m_down, 1)}) {
        connect(button, &QToolButton::pressed, this, [this, by = by] { StartRepeat(by); });
        connect(button, &QToolButton::released, this, &TTabOrderDlg::StopRepeat);
        connect(button, &QToolButton::clicked, this, [this, by = by] { ButtonClicked(by); });
    }
    connect(m_scrollTimer, &QTimer::timeout, this, &TTabOrderDlg::Repeat);
    connect(m_auto, &QToolButton::clicked, this, &TTabOrderDlg::AutoArrange);
    connect(m_apply, &QPushButton::clicked, this, &TTabOrderDlg::Apply);
    connect(m_close, &QPushButton::clicked, this, &TTabOrderDlg::close);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &TTabOrderDlg::UpdateButtons);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const int line = m_list->row(item);
        if (OnSelectElement && line >= 0 && line < m_lines.size() && m_lines.at(line))
            OnSelectElement(m_lines.at(line));
    });
    UpdateButtons();
}

TTabOrderDlg::~TTabOrderDlg() = default;

bool TTabOrderDlg::Listed(const QObject *element)
{
    const auto *visual = qobject_cast<const TVisualPgCtrl *>(element);
    if (!visual)
        return false;
    const int kind = visual->ClassTypeID();
    return kind == kButtonKind || kind == kListedKind
        || GlobalCanFocus(const_cast<TVisualPgCtrl *>(visual));
}

QList<TVisualPgCtrl *> TTabOrderDlg::PositionOrder(QList<TVisualPgCtrl *> elements)
{
    std::stable_sort(elements.begin(), elements.end(), [](const auto *a, const auto *b) {
        const auto [aTop, aLeft] = Place(a);
        const auto [bTop, bLeft] = Place(b);
        return std::tuple(aTop, aLeft, a->TabOrder()) < std::tuple(bTop, bLeft, b->TabOrder());
    });
    return elements;
}

void TTabOrderDlg::SetPage(TPrinterPage *page)
{
    m_page = page;
    Fill();
}

TPrinterPage *TTabOrderDlg::Page() const
{
    return m_page;
}

void TTabOrderDlg::Fill()
{
    StopRepeat();
    m_dragLine = -1;
    m_dragging = false;
    QList<TVisualPgCtrl *> elements;
    if (m_page)
        for (QObject *child : m_page->children())
            if (Listed(child))
                elements.append(static_cast<TVisualPgCtrl *>(child));
    // Equal numbers keep the page's order, so that filling twice gives the same list.
    std::stable_sort(elements.begin(), elements.end(),
                     [](const auto *a, const auto *b) { return a->TabOrder() < b->TabOrder(); });
    m_lines.clear();
    for (TVisualPgCtrl *element : elements)
        m_lines.append(element);
    Remember();
    ShowLines(m_lines.value(0));
}

void TTabOrderDlg::Remember()
{
    m_applied.clear();
    for (const QPointer<TVisualPgCtrl> &element : std::as_const(m_lines))
        if (element)
            m_applied.append({element, element->TabOrder()});
}

QList<TVisualPgCtrl *> TTabOrderDlg::Lines() const
{
    QList<TVisualPgCtrl *> lines;
    for (const QPointer<TVisualPgCtrl> &element : m_lines)
        lines.append(element.data());
    return lines;
}

int TTabOrderDlg::SelectedLine() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void TTabOrderDlg::ShowLines(const TVisualPgCtrl *selected)
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const QPointer<TVisualPgCtrl> &element : std::as_const(m_lines))
        m_list->addItem(element ? element->Name() : QString());
    const auto at = std::find(m_lines.cbegin(), m_lines.cend(), selected);
    if (selected && at != m_lines.cend()) {
        m_list->setCurrentRow(int(at - m_lines.cbegin()));
        m_list->scrollToItem(m_list->currentItem());
    } else {
        m_list->setCurrentRow(-1);
    }
    UpdateButtons();
}

void TTabOrderDlg::UpdateButtons()
{
    const int line = SelectedLine();
    const int count = int(m_lines.size());
    const bool chosen = line >= 0 || m_dragging;
    m_up->setEnabled(chosen && count > 0 && line != 0);
    m_down->setEnabled(chosen && count > 0 && line != count - 1);
    const QList<TVisualPgCtrl *> lines = Lines();
    m_auto->setEnabled(lines != PositionOrder(lines));
    bool applied = m_applied.size() == m_lines.size();
    for (qsizetype i = 0; applied && i < m_lines.size(); ++i)
        applied = m_applied.at(i).Element == m_lines.at(i);
    m_apply->setEnabled(!applied);
}

void TTabOrderDlg::MoveSelected(int by)
{
    const int line = SelectedLine();
    const int to = line + by;
    if (line < 0 || to < 0 || to >= m_lines.size())
        return;
    m_lines.move(line, to);
    ShowLines(m_lines.at(to));
}

void TTabOrderDlg::AutoArrange()
{
    const int line = SelectedLine();
    const TVisualPgCtrl *selected = line >= 0 ? m_lines.at(line).data() : nullptr;
    const QList<TVisualPgCtrl *> ordered = PositionOrder(Lines());
    m_lines.clear();
    for (TVisualPgCtrl *element : ordered)
        m_lines.append(element);
    ShowLines(selected);
}

void TTabOrderDlg::Apply()
{
    TTabOrders orders;
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines.at(i))
            orders.append({m_lines.at(i), int(i)});
    if (OnApply)
        OnApply(orders);
    else
        for (const auto &[element, number] : orders)
            element->SetTabOrder(number);
    Remember();
    UpdateButtons();
}

void TTabOrderDlg::InsertByNumber(TVisualPgCtrl *element, bool intoLines)
{
    const int number = element->TabOrder();
    const auto after = std::find_if(m_applied.begin(), m_applied.end(), [number](const auto &a) {
        return a.Element && a.Element->TabOrder() > number;
    });
    const qsizetype at = after - m_applied.begin();
    if (intoLines)
        m_lines.insert(at, element);
    m_applied.insert(at, {element, number});
}

void TTabOrderDlg::Reconcile()
{
    const int line = SelectedLine();
    const TVisualPgCtrl *selected = line >= 0 ? m_lines.at(line).data() : nullptr;
    const auto onPage = [this](const TVisualPgCtrl *element) {
        return element && m_page && element->parentWidget() == m_page && Listed(element);
    };
    for (const TApplied &entry : std::as_const(m_applied))
        if (onPage(entry.Element) && entry.Element->TabOrder() != entry.TabOrder) {
            Fill();
            return;
        }
    m_lines.removeIf([&](const QPointer<TVisualPgCtrl> &e) { return !onPage(e); });
    m_applied.removeIf([&](const TApplied &a) { return !onPage(a.Element); });
    if (m_page)
        for (QObject *child : m_page->children()) {
            auto *element = qobject_cast<TVisualPgCtrl *>(child);
            if (!onPage(element) || m_lines.contains(element))
                continue;
            // A list in its applied order takes the element at its number's place (the end,
            // for one just placed); a list the user has reordered takes it at the end.
            bool inOrder = m_applied.size() == m_lines.size();
            for (qsizetype i = 0; inOrder && i < m_lines.size(); ++i)
                inOrder = m_applied.at(i).Element == m_lines.at(i);
            if (!inOrder)
                m_lines.append(element);
            InsertByNumber(element, inOrder);
        }
    ShowLines(selected);
}

void TTabOrderDlg::StartRepeat(int by)
{
    m_repeatBy = by;
    m_repeated = false;
    m_scrollTimer->start(kFirstRepeatMs);
}

void TTabOrderDlg::Repeat()
{
    m_repeated = true;
    m_scrollTimer->setInterval(kRepeatMs);
    MoveSelected(m_repeatBy);
    // At the end the button is disabled, which releases it and ends the repeat.
    QToolButton *held = m_repeatBy < 0 ? m_up : m_down;
    if (!held->isEnabled())
        StopRepeat();
}

void TTabOrderDlg::StopRepeat()
{
    m_scrollTimer->stop();
}

void TTabOrderDlg::ButtonClicked(int by)
{
    // The release that ends a repeat is not one more step.
    if (!m_repeated)
        MoveSelected(by);
    m_repeated = false;
}

bool TTabOrderDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && ListMouse(event))
        return true;
    return TBaseINIForm::eventFilter(watched, event);
}

bool TTabOrderDlg::ListMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            QListWidgetItem *item = m_list->itemAt(mouse->position().toPoint());
            m_dragLine = item ? m_list->row(item) : -1;
            m_dragFrom = mouse->position().toPoint();
            m_dragging = false;
        }
        return false;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_dragLine >= 0 && (mouse->buttons() & Qt::LeftButton) && !m_dragging
            && (mouse->position().toPoint() - m_dragFrom).manhattanLength()
                >= QApplication::startDragDistance()) {
            m_dragging = true;
            m_list->viewport()->setCursor(Qt::DragMoveCursor);
            UpdateButtons();
        }
        // The pressed line stays selected while it is dragged.
        return m_dragging;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_dragging) {
            m_dragLine = -1;
            return false;
        }
        const int from = m_dragLine;
        m_dragLine = -1;
        m_dragging = false;
        m_list->viewport()->unsetCursor();
        QListWidgetItem *target = m_list->itemAt(mouse->position().toPoint());
        const int to = target ? m_list->row(target) : -1;
        // Onto itself or past the lines: nothing moves.
        if (to >= 0 && to != from && from < m_lines.size()) {
            m_lines.move(from, to);
            ShowLines(m_lines.at(to));
        } else {
            UpdateButtons();
        }
        return true;
    }
    default:
        return false;
    }
}

void TTabOrderDlg::hideEvent(QHideEvent *event)
{
    StopRepeat();
    m_dragLine = -1;
    m_dragging = false;
    // What was not applied is dropped with the window.
    m_apply->setEnabled(false);
    // The window it belongs to takes the keys again, F11 among them, once this one is gone.
    if (QWidget *owner = parentWidget())
        QTimer::singleShot(0, owner, [owner] {
            if (owner->isVisible() && !QApplication::activeWindow())
                owner->activateWindow();
        });
    TBaseINIForm::hideEvent(event);
}
