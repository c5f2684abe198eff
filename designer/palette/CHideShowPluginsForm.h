#pragma once
// Hides or shows palette tabs and buttons: a click on an item toggles it on the
// palette at once; OK stores every item's visibility, Cancel puts back what the
// palette showed when the dialog opened.

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;
class TPaletteForm;

class THideShowPluginsForm : public QDialog
{
    Q_OBJECT
public:
    THideShowPluginsForm(TPaletteForm &palette, QWidget *parent = nullptr);
    ~THideShowPluginsForm() override;

    // Shows the dialog through the dialog service; true when OK stored the choice.
    bool Run();
    QTreeWidget *Tree() const { return m_tree; }

private:
    void Toggle(QTreeWidgetItem *item);
    void ShowStates();
    void Restore();

    TPaletteForm &m_palette;
    QTreeWidget *m_tree;
};
