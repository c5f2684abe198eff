#include "CPrnOfsSelectDlg.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CPrinterService.h"
#include "Cini.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

const char *const SOffsetNotANumber = "The specified Offset is not a number.";
const char *const SOffsetOutOfRange = "The specified Offset is out of range (-10/+10 only please).";
const char *const SOffsetCalibrationHint
    = "To measure the shift, print File > Print Calibration Page on this printer and paper. "
      "Measure from the paper's left and top edges to the centre of a crosshair; enter the "
      "crosshair's label minus what you measured, in millimetres. Positive X moves the print "
      "right, positive Y moves it down.";

void Global_DecodeSavedPrnOfs(const QString &value, QString &name, QString &printer, QString &x,
                              QString &y)
{
    // Each step takes its part off the front; a short value leaves the rest empty.
    QString rest = value.mid(1);
    const auto takeUntil = [&rest](QChar stop, qsizetype skipAfter) {
        const qsizetype at = rest.indexOf(stop);
        const QString part = at < 0 ? rest : rest.left(at);
        rest = at < 0 ? QString() : rest.mid(at + 1 + skipAfter);
        return part;
    };
    name = takeUntil(u'"', 0);
    takeUntil(u'"', 0);
    printer = takeUntil(u'"', 2);
    x = takeUntil(u',', 1);
    y = rest;
}

QString Global_EncodeSavedPrnOfs(const TSavedPrnOfs &entry)
{
    return QStringLiteral("\"%1\", \"%2\", %3, %4")
        .arg(entry.Name, entry.Printer, entry.X, entry.Y);
}

QList<TSavedPrnOfs> ReadSavedPrinterOffsets()
{
    QList<TSavedPrnOfs> entries;
    const QString section = QString::fromLatin1(CPRINTER_OFFSETS_SECTION);
    for (const QString &line : INIReadSectionValues(GlobalAppINI, section)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        TSavedPrnOfs entry;
        entry.Key = line.left(eq);
        Global_DecodeSavedPrnOfs(line.mid(eq + 1), entry.Name, entry.Printer, entry.X, entry.Y);
        entries << entry;
    }
    return entries;
}

bool CheckPrinterOffset(const QString &text, Extended &value, QString &message)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    // The number parser takes "nan" and "inf" too; neither is a shift.
    if (!ok || !std::isfinite(number)) {
        message = QString::fromLatin1(SOffsetNotANumber);
        return false;
    }
    if (number < -CPRINTER_OFFSET_LIMIT || number > CPRINTER_OFFSET_LIMIT) {
        message = QString::fromLatin1(SOffsetOutOfRange);
        return false;
    }
    value = number;
    return true;
}

TPrnOfsSelDlg::TPrnOfsSelDlg(QWidget *parent) : TBaseINIForm(parent)
{
    setObjectName(QStringLiteral("PrnOfsSelDlg"));
    setWindowTitle(QStringLiteral("Select Printer Offset"));
    setWindowFlag(Qt::Tool);
    setProperty("HelpContext", 17);
    resize(289, 372);
    auto *layout = new QVBoxLayout(this);

    m_savedGroup = new QGroupBox(QStringLiteral("&Saved Offsets"), this);
    m_savedGroup->setObjectName(QStringLiteral("SavedOfsGroupBox"));
    auto *saved = new QGridLayout(m_savedGroup);
    auto *hint = new QLabel(QStringLiteral("Bold items are associated with the selected printer."),
                            m_savedGroup);
    hint->setWordWrap(true);
    saved->addWidget(hint, 0, 0, 1, 2);
    m_list = new QListWidget(m_savedGroup);
    m_list->setObjectName(QStringLiteral("SavedOfsListBox"));
    saved->addWidget(m_list, 1, 0, 1, 2);
    saved->addWidget(new QLabel(QStringLiteral("Printer :"), m_savedGroup), 2, 0);
    m_printerLabel = new QLabel(m_savedGroup);
    m_printerLabel->setObjectName(QStringLiteral("PrinterLabel"));
    saved->addWidget(m_printerLabel, 2, 1);
    saved->addWidget(new QLabel(QStringLiteral("Offsets (X, Y) :"), m_savedGroup), 3, 0);
    m_offsetsLabel = new QLabel(m_savedGroup);
    m_offsetsLabel->setObjectName(QStringLiteral("OffsetsLabel"));
    saved->addWidget(m_offsetsLabel, 3, 1);
    layout->addWidget(m_savedGroup, 1);

    m_manualGroup = new QGroupBox(QStringLiteral("Manual Offsets"), this);
    m_manualGroup->setObjectName(QStringLiteral("ManualOfsGroupBox"));
    auto *manual = new QGridLayout(m_manualGroup);
    const auto addEdit
        = [&](int row, const QString &caption, const QString &note, const char *name) {
              auto *label = new QLabel(caption, m_manualGroup);
              auto *edit = new TAlignEdit(m_manualGroup);
              edit->setObjectName(QString::fromLatin1(name));
              edit->SetAlignment(taCenter);
              edit->setText(QStringLiteral("0.00"));
              edit->installEventFilter(this);
              label->setBuddy(edit);
              manual->addWidget(label, row, 0);
              manual->addWidget(edit, row, 1);
              manual->addWidget(new QLabel(QStringLiteral("mm"), m_manualGroup), row, 2);
              manual->addWidget(new QLabel(note, m_manualGroup), row, 3);
              return edit;
          };
    m_editX = addEdit(0, QStringLiteral("&X Offset :"), QStringLiteral("(Negative is Left)"),
                      "OfsXAlignEdit");
    m_editY = addEdit(1, QStringLiteral("&Y Offset :"), QStringLiteral("(Negative is Up)"),
                      "OfsYAlignEdit");
    auto *calibration = new QLabel(QString::fromLatin1(SOffsetCalibrationHint), m_manualGroup);
    calibration->setObjectName(QStringLiteral("CalibrationHint"));
    calibration->setWordWrap(true);
    manual->addWidget(calibration, 2, 0, 1, 4);
    layout->addWidget(m_manualGroup);

    m_useManual = new QCheckBox(QStringLiteral("Use &Manual Offsets"), this);
    m_useManual->setObjectName(QStringLiteral("UseManualOfsCheckBox"));
    layout->addWidget(m_useManual);
    m_ignore = new QCheckBox(QStringLiteral("Ignore offsets"), this);
    m_ignore->setObjectName(QStringLiteral("IgnoreOfsCheckBox"));
    layout->addWidget(m_ignore);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Entries of the current printer are bold; the first of them is selected.
    const QString current = PrinterService().PrinterName();
    m_entries = ReadSavedPrinterOffsets();
    int selected = -1;
    for (const TSavedPrnOfs &entry : m_entries) {
        auto *item = new QListWidgetItem(entry.Name, m_list);
        const bool mine = entry.Printer.compare(current, Qt::CaseInsensitive) == 0;
        QFont font = item->font();
        font.setBold(mine);
        item->setFont(font);
        if (mine && selected < 0)
            selected = m_list->count() - 1;
    }
    m_list->setCurrentRow(selected);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { UpdateFormLabels(); });
    connect(m_useManual, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    connect(m_ignore, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    UpdateFormLabels();
}

void TPrnOfsSelDlg::UpdateFormLabels()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_entries.size()) {
        m_printerLabel->clear();
        m_offsetsLabel->clear();
        return;
    }
    const TSavedPrnOfs &entry = m_entries.at(row);
    m_printerLabel->setText(entry.Printer);
    m_offsetsLabel->setText(entry.X + QStringLiteral(" mm, ") + entry.Y + QStringLiteral(" mm"));
}

void TPrnOfsSelDlg::UpdateEnabled()
{
    const bool ignore = m_ignore->isChecked();
    m_manualGroup->setEnabled(!ignore);
    m_useManual->setEnabled(!ignore);
    // A disabled list draws its lines grey.
    m_savedGroup->setEnabled(!ignore && !m_useManual->isChecked());
}

bool IsRefusedOffsetKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    // Shortcuts (Ctrl+V, Ctrl+A) are no typed characters, whatever text they carry.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    const bool allowed = c == u'\b' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9');
    // Control characters other than Backspace (Enter, Tab) keep their usual meaning.
    return !allowed && c.isPrint();
}

bool TPrnOfsSelDlg::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_editX || watched == m_editY) && IsRefusedOffsetKey(event))
        return true;
    return TBaseINIForm::eventFilter(watched, event);
}

bool CheckOffsetEdit(QLineEdit *edit, const QString &caption, Extended &value)
{
    if (edit->text().trimmed().isEmpty())
        edit->setText(QStringLiteral("0.00"));
    QString message;
    if (CheckPrinterOffset(edit->text(), value, message))
        return true;
    Global_MessageDlg(caption, message, mtInformation, mbOK, 0);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void TPrnOfsSelDlg::done(int result)
{
    if (result == QDialog::Accepted && !m_ignore->isChecked()) {
        Extended x = 0;
        Extended y = 0;
        if (m_useManual->isChecked()) {
            const QString caption = windowTitle().trimmed();
            if (!CheckOffsetEdit(m_editX, caption, x) || !CheckOffsetEdit(m_editY, caption, y))
                return;
        } else if (const int row = m_list->currentRow(); row >= 0 && row < m_entries.size()) {
            // A hand-damaged saved value counts as no shift.
            QString ignored;
            if (!CheckPrinterOffset(m_entries.at(row).X, x, ignored))
                x = 0;
            if (!CheckPrinterOffset(m_entries.at(row).Y, y, ignored))
                y = 0;
        }
        m_x = x;
        m_y = y;
    }
    TBaseINIForm::done(result);
}
