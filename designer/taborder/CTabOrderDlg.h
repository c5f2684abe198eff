#pragma once
// The TAB order dialog: the elements of one page that take the focus when the
// form is filled in, in the order they take it. Lines move with Up and Down
// (which repeat while held), by dragging, or all at once into reading order
// ("Auto."); "Apply" hands the order to the owner, which numbers the elements.

#include "CBaseForm.h"

#include <QList>
#include <QPointer>
#include <functional>
#include <utility>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;
class TPrinterPage;
class TVisualPgCtrl;

class TTabOrderDlg : public TBaseINIForm
{
    Q_OBJECT
public:
    using TTabOrders = QList<std::pair<TVisualPgCtrl *, int>>;

    explicit TTabOrderDlg(QWidget *parent = nullptr);
    ~TTabOrderDlg() override;

    // Lists the page's elements in their TAB order, the first line selected.
    void SetPage(TPrinterPage *page);
    TPrinterPage *Page() const;
    // Follows the page as it is now: elements that came are added, those that went or no
    // longer take the focus leave, names are shown as they are. When the numbers changed
    // under the dialog (an undone "Apply"), the list is filled again.
    void Reconcile();

    // The elements in the order of the lines.
    QList<TVisualPgCtrl *> Lines() const;
    int SelectedLine() const;
    void MoveSelected(int by);
    void AutoArrange();
    void Apply();

    // Whether the element has a line: a button, kind 180, or one that takes the focus.
    static bool Listed(const QObject *element);
    // Top, then left (in whole millimetres), then TAB order number; ties keep their order.
    static QList<TVisualPgCtrl *> PositionOrder(QList<TVisualPgCtrl *> elements);

    // Each line's element with its index, for the owner to number as one step.
    std::function<void(const TTabOrders &)> OnApply;
    // A double-clicked line: its element is to be selected alone on the page.
    std::function<void(TVisualPgCtrl *)> OnSelectElement;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct TApplied
    {
        QPointer<TVisualPgCtrl> Element;
        int TabOrder;
    };

    void Fill();
    void ShowLines(const TVisualPgCtrl *selected);
    void UpdateButtons();
    void Remember();
    // Where an element that came fits in by its number.
    void InsertByNumber(TVisualPgCtrl *element, bool intoLines);
    // Up and Down: a click moves once on release; held, the timer moves until released.
    void StartRepeat(int by);
    void Repeat();
    void StopRepeat();
    void ButtonClicked(int by);
    bool ListMouse(QEvent *event);

    QPointer<TPrinterPage> m_page;
    QList<QPointer<TVisualPgCtrl>> m_lines;
    // As last applied or filled, with the numbers the elements had then.
    QList<TApplied> m_applied;
    QLabel *m_label;
    QListWidget *m_list;
    QToolButton *m_up;
    QToolButton *m_down;
    QToolButton *m_auto;
    QPushButton *m_apply;
    QPushButton *m_close;
    QTimer *m_scrollTimer;
    int m_repeatBy = 0;
    bool m_repeated = false;
    // The line pressed for dragging, -1 when none; dragging once the mouse moved far enough.
    int m_dragLine = -1;
    QPoint m_dragFrom;
    bool m_dragging = false;
};
