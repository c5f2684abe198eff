#include "CNetProgressForm.h"

#include "CIdTCPClient.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TNetProgressForm::TNetProgressForm(QWidget *parent, TIdTCPClient &client, qint64 maximum)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                  | Qt::WindowTitleHint),
      m_client(client), m_status(new QLabel(QStringLiteral("Waiting..."), this)),
      m_gauge(new QProgressBar(this)), m_maximum(qMax<qint64>(1, maximum))
{
    setObjectName(QStringLiteral("NetProgressForm"));
    setWindowTitle(QStringLiteral(" Progress..."));
    setWindowModality(Qt::ApplicationModal);
    // The gauge counts in kilobytes so that large files stay within its range.
    m_gauge->setRange(0, int(qMin<qint64>(m_maximum / 1024 + 1, INT_MAX)));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &TNetProgressForm::reject);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Status :"), this));
    row->addWidget(m_status, 1);
    layout->addLayout(row);
    layout->addWidget(m_gauge);
    layout->addWidget(buttons);
    resize(360, sizeHint().height());
    m_client.OnWork = [this](qint64 bytes) {
        Work(bytes);
    };
    m_client.OnStatus = [this](const QString &text) {
        m_status->setText(text);
    };
    if (parent)
        move(parent->window()->geometry().center() - rect().center());
    show();
}

TNetProgressForm::~TNetProgressForm()
{
    m_client.OnWork = nullptr;
    m_client.OnStatus = nullptr;
}

QString TNetProgressForm::StatusText() const
{
    return m_status->text();
}

int TNetProgressForm::Position() const
{
    return m_gauge->value();
}

void TNetProgressForm::Work(qint64 bytes)
{
    m_gauge->setValue(int(qMin<qint64>(bytes, m_maximum) / 1024));
    if (bytes > 0)
        m_status->setText(QStringLiteral("Sent %1 of %2 KB")
                              .arg((bytes + 1023) / 1024)
                              .arg((m_maximum + 1023) / 1024));
}

void TNetProgressForm::reject()
{
    // Closing only asks the transfer to stop; the window goes when the sender is done.
    if (m_client.Busy()) {
        m_status->setText(QStringLiteral("Cancelling..."));
        m_client.Cancel();
    }
}
