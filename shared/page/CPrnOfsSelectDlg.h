#pragma once
// Printer offsets: named shifts in millimetres saved per printer, so that
// values printed onto pre-printed stationery land in its boxes whatever the
// printer. The selection dialog asks, before a print, which one to use.

#include "CBaseForm.h"
#include "CPublished.h"

#include <QList>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

inline constexpr const char *CPRINTER_OFFSETS_SECTION = "PrinterOffsets";
inline constexpr Extended CPRINTER_OFFSET_LIMIT = 10; // millimetres either way

extern const char *const SOffsetNotANumber; // "The specified Offset is not a number."
extern const char *const SOffsetOutOfRange; // "... out of range (-10/+10 only please)."
// How to read a printer's shift off the calibration page.
extern const char *const SOffsetCalibrationHint;

// One saved entry; X and Y as the user typed them.
struct TSavedPrnOfs
{
    QString Key;
    QString Name;
    QString Printer;
    QString X;
    QString Y;
};

// Splits a stored value into its parts; values that are too short give empty parts.
void Global_DecodeSavedPrnOfs(const QString &value, QString &name, QString &printer, QString &x,
                              QString &y);
// The stored line's value for an entry.
QString Global_EncodeSavedPrnOfs(const TSavedPrnOfs &entry);
// Every entry of the settings file, in file order.
QList<TSavedPrnOfs> ReadSavedPrinterOffsets();
// True when the text is an offset in range; otherwise the message that says why.
bool CheckPrinterOffset(const QString &text, Extended &value, QString &message);

// Checks an offset edit (an empty one becomes "0.00"); on failure tells the user
// and puts the focus into it.
bool CheckOffsetEdit(QLineEdit *edit, const QString &caption, Extended &value);
// Offset edits take digits, "-", "." and Backspace; true for any other typed character.
bool IsRefusedOffsetKey(const QEvent *event);

class TPrnOfsSelDlg : public TBaseINIForm
{
    Q_OBJECT
public:
    explicit TPrnOfsSelDlg(QWidget *parent = nullptr);

    // The chosen shift in millimetres; 0 when offsets are ignored.
    Extended OffsetX() const { return m_x; }
    Extended OffsetY() const { return m_y; }

    QListWidget *SavedOfsListBox() const { return m_list; }
    QCheckBox *UseManualOfsCheckBox() const { return m_useManual; }
    QCheckBox *IgnoreOfsCheckBox() const { return m_ignore; }
    TAlignEdit *OfsXAlignEdit() const { return m_editX; }
    TAlignEdit *OfsYAlignEdit() const { return m_editY; }
    QLabel *PrinterLabel() const { return m_printerLabel; }
    QLabel *OffsetsLabel() const { return m_offsetsLabel; }

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateFormLabels();
    void UpdateEnabled();

    QList<TSavedPrnOfs> m_entries;
    Extended m_x = 0;
    Extended m_y = 0;
    QGroupBox *m_savedGroup;
    QGroupBox *m_manualGroup;
    QListWidget *m_list;
    QLabel *m_printerLabel;
    QLabel *m_offsetsLabel;
    TAlignEdit *m_editX;
    TAlignEdit *m_editY;
    QCheckBox *m_useManual;
    QCheckBox *m_ignore;
};
