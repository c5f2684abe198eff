#pragma once
// The designer's property inspector: the object drop-down above the property
// grid, for the selected elements, property groups or page settings. Every
// committed edit goes through OnChangeProperty, which the owner records as one
// undoable step; the expanded rows and the splitter live in the settings.

#include "CPropertyGrid.h"

#include <QComboBox>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class TPropHelper;

// The drop-down of the active page's elements, sorted by name, with the page's settings.
class TObjectComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TObjectComboBox(QWidget *parent = nullptr);

    // The page's settings first, then the elements by name.
    void SetObjects(QObject *pageProps, int pageIndex, const QList<QObject *> &elements);
    QObject *ObjectAt(int index) const;
    // Shows the object's entry, none when it is not listed.
    void ShowObject(QObject *object);
};

class TObjectInspectorForm : public QWidget
{
    Q_OBJECT
public:
    using TChangeProperty = std::function<bool(const QList<QObject *> &objects, const QString &path,
                                               const QString &value)>;

    explicit TObjectInspectorForm(QWidget *parent = nullptr);
    ~TObjectInspectorForm() override;

    // Records an edit of all objects as one step; false when refused, nothing changed.
    TChangeProperty OnChangeProperty;

    void SetSelection(const QList<QObject *> &objects);
    QList<QObject *> Selection() const;
    // Values are read again after a change made elsewhere.
    void Refresh();
    // The drop-down follows the active page and the elements' names.
    void RebuildObjectList();
    // Help topic of the current row for the first selected object; 40 when it has none.
    int HelpContext() const;

    TPropertyGrid *Grid() const { return m_grid; }
    TObjectComboBox *ObjectCombo() const { return m_combo; }

    // The inspector's rule of what is listed, as the object's property helper has it.
    static TPropHelper *HelperOf(QObject *holder);

signals:
    void PropertyChanged(const QString &path);
    void ElementChosen(QObject *element);
    void HelpRequested(int context);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ObjectGone();
    void SaveSettings() const;

    TObjectComboBox *m_combo;
    TPropertyGrid *m_grid;
    QList<QPointer<QObject>> m_selection;
    bool m_rebuildPending = false;
    int m_listedPage = -2;
    int m_listedCount = -1;
};
