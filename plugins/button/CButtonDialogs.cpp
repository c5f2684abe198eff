#include "CButtonDialogs.h"

#include "CAppPaths.h"
#include "Cini.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {
QDialogButtonBox *OkCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

const QString HistorySection = QStringLiteral("ButtonHyperLinkToURLForm");
} // namespace

TButtonGotoPageDlg::TButtonGotoPageDlg(QWidget *parent, int page, int pageCount)
    : TBaseForm(parent), m_page(new QSpinBox(this))
{
    setObjectName(QStringLiteral("ButtonGotoPageForm"));
    setWindowTitle(QStringLiteral(" Goto Page"));
    m_page->setRange(1, qMax(1, pageCount));
    m_page->setValue(qBound(1, page, qMax(1, pageCount)));
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Go to :"), m_page);
    layout->addRow(OkCancel(this));
}

int TButtonGotoPageDlg::Page() const
{
    return m_page->value();
}

TButtonHyperLinkToURLForm::TButtonHyperLinkToURLForm(QWidget *parent, const QString &url)
    : TBaseForm(parent), m_url(new QComboBox(this))
{
    setObjectName(HistorySection);
    setWindowTitle(QStringLiteral(" Hyperlink"));
    m_url->setEditable(true);
    QStringList used;
    for (const QString &key : INIReadSection(GlobalAppINI, HistorySection))
        used.append(INIReadStr(GlobalAppINI, HistorySection, key, QString()).trimmed());
    used.removeAll(QString());
    used.removeDuplicates();
    used.sort(Qt::CaseInsensitive);
    m_url->addItems(used);
    m_url->setEditText(url);
    m_url->setMinimumWidth(360);
    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("URL"), m_url);
    layout->addRow(OkCancel(this));
}

QString TButtonHyperLinkToURLForm::URL() const
{
    return m_url->currentText().trimmed();
}

void TButtonHyperLinkToURLForm::accept()
{
    QStringList urls {URL()};
    for (int i = 0; i < m_url->count(); ++i)
        urls.append(m_url->itemText(i).trimmed());
    urls.removeAll(QString());
    urls.removeDuplicates();
    urls.sort(Qt::CaseInsensitive);
    INIEraseSection(GlobalAppINI, HistorySection);
    for (int i = 0; i < urls.size(); ++i)
        INIWriteStr(GlobalAppINI, HistorySection, QString::number(i), urls.at(i));
    TBaseForm::accept();
}
