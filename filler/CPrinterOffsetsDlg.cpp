#include "CPrinterOffsetsDlg.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPrinterService.h"
#include "Cini.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
void Inform(const QString &caption, const QString &text)
{
    Global_MessageDlg(caption, text, mtInformation, mbOK, 0);
}
} // namespace

TPrinterOffsetsIODlg::TPrinterOffsetsIODlg(QWidget *parent, bool adding, const TSavedPrnOfs &entry)
    : TBaseForm(parent)
{
    setObjectName(QStringLiteral("PrinterOffsetsIODlg"));
    setWindowTitle(adding ? QStringLiteral("Add Printer Offset")
                          : QStringLiteral("Modify Printer Offset"));
    setProperty("HelpContext", adding ? 13 : 14);
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Offset Details"), this);
    auto *grid = new QGridLayout(group);

    m_printer = new QComboBox(group);
    m_printer->setObjectName(QStringLiteral("PrinterComboBox"));
    QStringList printers = PrinterService().Printers();
    printers.sort(Qt::CaseInsensitive);
    m_printer->addItems(printers);
    const int current
        = int(printers.indexOf(adding ? PrinterService().PrinterName() : entry.Printer));
    m_printer->setCurrentIndex(qMax(0, current));
    auto *printerLabel = new QLabel(QStringLiteral("&Printer :"), group);
    printerLabel->setBuddy(m_printer);
    grid->addWidget(printerLabel, 0, 0);
    grid->addWidget(m_printer, 0, 1, 1, 3);

    m_name = new QLineEdit(adding ? QStringLiteral("Untitled") : entry.Name, group);
    m_name->setObjectName(QStringLiteral("NameEdit"));
    auto *nameLabel = new QLabel(QStringLiteral("&Offset Name :"), group);
    nameLabel->setBuddy(m_name);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_name, 1, 1, 1, 3);

    const auto addOffset = [&](int row, const QString &caption, const QString &value,
                               const QString &note, const char *name) {
        auto *edit = new TAlignEdit(group);
        edit->setObjectName(QString::fromLatin1(name));
        edit->SetAlignment(taRightJustify);
        edit->setText(value.isEmpty() ? QStringLiteral("0.00") : value);
        edit->installEventFilter(this);
        auto *label = new QLabel(caption, group);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), group), row, 2);
        grid->addWidget(new QLabel(note, group), row, 3);
        return edit;
    };
    m_x = addOffset(2, QStringLiteral("&X Offset :"), adding ? QString() : entry.X,
                    QStringLiteral("(Negative is Left)"), "XOffsetEdit");
    m_y = addOffset(3, QStringLiteral("&Y Offset :"), adding ? QString() : entry.Y,
                    QStringLiteral("(Negative is Up)"), "YOffsetEdit");
    auto *calibration = new QLabel(QString::fromLatin1(SOffsetCalibrationHint), group);
    calibration->setObjectName(QStringLiteral("CalibrationHint"));
    calibration->setWordWrap(true);
    grid->addWidget(calibration, 4, 0, 1, 4);
    layout->addWidget(group);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool TPrinterOffsetsIODlg::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_x || watched == m_y) && IsRefusedOffsetKey(event))
        return true;
    return TBaseForm::eventFilter(watched, event);
}

void TPrinterOffsetsIODlg::done(int result)
{
    if (result == QDialog::Accepted) {
        if (m_name->text().trimmed().isEmpty()) {
            Inform(windowTitle().trimmed(), QStringLiteral("Please specify an Offset Name."));
            m_name->setFocus();
            return;
        }
        // The stored line quotes the names; a quote inside one would break it.
        if (m_name->text().contains(u'"') || m_printer->currentText().contains(u'"')) {
            Inform(windowTitle().trimmed(),
                   QStringLiteral("Offset and printer names cannot contain a double quote (\")."));
            m_name->setFocus();
            return;
        }
        Extended x = 0;
        Extended y = 0;
        if (!CheckOffsetEdit(m_x, windowTitle().trimmed(), x)
            || !CheckOffsetEdit(m_y, windowTitle().trimmed(), y))
            return;
    }
    TBaseForm::done(result);
}

TSavedPrnOfs TPrinterOffsetsIODlg::Entry() const
{
    TSavedPrnOfs entry;
    entry.Name = m_name->text().trimmed();
    entry.Printer = m_printer->currentText();
    entry.X = m_x->text().trimmed();
    entry.Y = m_y->text().trimmed();
    return entry;
}

TPrinterOffsetsDlg::TPrinterOffsetsDlg(QWidget *parent) : TBaseForm(parent)
{
    setObjectName(QStringLiteral("PrinterOffsetsDlg"));
    setWindowTitle(QStringLiteral("Printer Offsets"));
    setProperty("HelpContext", 12);
    auto *layout = new QHBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("S&aved Offsets"), this);
    auto *inner = new QGridLayout(group);
    m_list = new QListWidget(group);
    m_list->setObjectName(QStringLiteral("OffsetsList"));
    inner->addWidget(m_list, 0, 0, 1, 2);
    inner->addWidget(new QLabel(QStringLiteral("Printer :"), group), 1, 0);
    m_printerLabel = new QLabel(group);
    inner->addWidget(m_printerLabel, 1, 1);
    inner->addWidget(new QLabel(QStringLiteral("Offsets (X, Y) :"), group), 2, 0);
    m_offsetsLabel = new QLabel(group);
    inner->addWidget(m_offsetsLabel, 2, 1);
    layout->addWidget(group, 1);

    auto *buttons = new QVBoxLayout;
    m_new = new QPushButton(QStringLiteral("&New"), this);
    m_edit = new QPushButton(QStringLiteral("&Edit"), this);
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    m_new->setObjectName(QStringLiteral("NewButton"));
    m_edit->setObjectName(QStringLiteral("EditButton"));
    m_delete->setObjectName(QStringLiteral("DeleteButton"));
    close->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton *button : {m_new, m_edit, m_delete})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_new, &QPushButton::clicked, this, [this] { AddEntry(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { EditEntry(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { DeleteEntry(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { UpdateLabels(); });

    m_entries = ReadSavedPrinterOffsets();
    for (const TSavedPrnOfs &entry : m_entries)
        m_list->addItem(entry.Name);
    m_list->setCurrentRow(m_entries.isEmpty() ? -1 : 0);
    UpdateLabels();
}

TPrinterOffsetsDlg::~TPrinterOffsetsDlg()
{
    WriteEntries();
}

void TPrinterOffsetsDlg::UpdateLabels()
{
    const int row = m_list->currentRow();
    const bool selected = row >= 0 && row < m_entries.size();
    m_edit->setEnabled(selected);
    m_delete->setEnabled(selected);
    m_printerLabel->setText(selected ? m_entries.at(row).Printer : QString());
    m_offsetsLabel->setText(selected ? m_entries.at(row).X + QStringLiteral(" mm, ")
                                    + m_entries.at(row).Y + QStringLiteral(" mm")
                                     : QString());
}

void TPrinterOffsetsDlg::AddEntry()
{
    TPrinterOffsetsIODlg editor(this, true);
    if (DialogService().ExecModal(editor) != QDialog::Accepted)
        return;
    TSavedPrnOfs entry = editor.Entry();
    entry.Key = QString::number(m_entries.size());
    m_entries << entry;
    m_list->addItem(entry.Name);
    m_list->setCurrentRow(m_list->count() - 1);
}

void TPrinterOffsetsDlg::EditEntry()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_entries.size())
        return;
    TPrinterOffsetsIODlg editor(this, false, m_entries.at(row));
    if (DialogService().ExecModal(editor) != QDialog::Accepted)
        return;
    TSavedPrnOfs entry = editor.Entry();
    entry.Key = QString::number(row);
    m_entries[row] = entry;
    m_list->item(row)->setText(entry.Name);
    UpdateLabels();
}

void TPrinterOffsetsDlg::DeleteEntry()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_entries.size())
        return;
    if (Global_MessageDlg(
            windowTitle().trimmed(),
            QStringLiteral("Are you sure you want to delete the \"%1\" printer offset ?")
                .arg(m_entries.at(row).Name),
            mtConfirmation, mbYes | mbNo, 15)
        != mrYes)
        return;
    m_entries.removeAt(row);
    delete m_list->takeItem(row);
    m_list->setCurrentRow(m_entries.isEmpty() ? -1 : 0);
    UpdateLabels();
}

void TPrinterOffsetsDlg::WriteEntries() const
{
    // Keys are the positions, so they stay unique however entries came and went.
    const QString section = QString::fromLatin1(CPRINTER_OFFSETS_SECTION);
    INIEraseSection(GlobalAppINI, section);
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        INIWriteStr(GlobalAppINI, section, QString::number(i),
                    Global_EncodeSavedPrnOfs(m_entries.at(i)));
}
