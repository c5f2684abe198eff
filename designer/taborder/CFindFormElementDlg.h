#pragma once
// The find dialog: every element of the document by name; typing the start of
// a name chooses the first that begins so, and "Select" selects it on its page.

#include <QDialog>
#include <QList>
#include <QPointer>

class QLineEdit;
class QListWidget;
class QPushButton;
class TBasePgCtrl;

class TFindFormElementDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TFindFormElementDlg(QWidget *parent = nullptr);

    // Lists the document's elements sorted by name, keeping the chosen one chosen.
    void Fill();
    // The element of the chosen line, null with none.
    TBasePgCtrl *Chosen() const;
    // Chooses the first line whose name begins with the text (ignoring case), or none.
    void Search(const QString &text);
    void SelectChosen();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void UpdateButtons();

    QList<QPointer<TBasePgCtrl>> m_elements;
    QLineEdit *m_search;
    QListWidget *m_list;
    QPushButton *m_select;
    QPushButton *m_close;
};
