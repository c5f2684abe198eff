#pragma once
// The list of saved printer offsets and the editor of one entry, kept in the
// settings file's "PrinterOffsets" section.

#include "CBaseForm.h"
#include "CPrnOfsSelectDlg.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class TPrinterOffsetsIODlg : public TBaseForm
{
    Q_OBJECT
public:
    // adding: " Add Printer Offset", otherwise " Modify Printer Offset" filled from entry.
    TPrinterOffsetsIODlg(QWidget *parent, bool adding, const TSavedPrnOfs &entry = {});

    // The entry as typed; valid once the dialog was accepted.
    TSavedPrnOfs Entry() const;

    QComboBox *PrinterBox() const { return m_printer; }
    QLineEdit *NameEdit() const { return m_name; }
    TAlignEdit *XEdit() const { return m_x; }
    TAlignEdit *YEdit() const { return m_y; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QComboBox *m_printer;
    QLineEdit *m_name;
    TAlignEdit *m_x;
    TAlignEdit *m_y;
};

class TPrinterOffsetsDlg : public TBaseForm
{
    Q_OBJECT
public:
    explicit TPrinterOffsetsDlg(QWidget *parent);
    // Writes the list back to the settings file.
    ~TPrinterOffsetsDlg() override;

    const QList<TSavedPrnOfs> &Entries() const { return m_entries; }
    QListWidget *List() const { return m_list; }
    QPushButton *NewButton() const { return m_new; }
    QPushButton *EditButton() const { return m_edit; }
    QPushButton *DeleteButton() const { return m_delete; }
    QLabel *PrinterLabel() const { return m_printerLabel; }
    QLabel *OffsetsLabel() const { return m_offsetsLabel; }

    void AddEntry();
    void EditEntry();
    void DeleteEntry();

private:
    void UpdateLabels();
    void WriteEntries() const;

    QList<TSavedPrnOfs> m_entries;
    QListWidget *m_list;
    QLabel *m_printerLabel;
    QLabel *m_offsetsLabel;
    QPushButton *m_new;
    QPushButton *m_edit;
    QPushButton *m_delete;
};
