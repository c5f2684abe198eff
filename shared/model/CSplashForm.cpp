#include "CSplashForm.h"

#include "CGlobal.h"
#include "CPlugIns.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TSplashForm *SplashForm = nullptr;

TSplashForm::TSplashForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_gauge(new QProgressBar(this))
{
    setObjectName(QStringLiteral("SplashForm"));
    auto *title = new QLabel(GlobalAppTitle(), this);
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    title->setFont(font);
    auto *version = new QLabel(QStringLiteral("Version " VELORA_VERSION), this);
    auto *status = new QLabel(QStringLiteral("Loading plug-ins..."), this);

    m_gauge->setTextVisible(false);
    m_gauge->setRange(0, PlugInCount());
    m_gauge->setValue(0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addStretch();
    layout->addWidget(status);
    layout->addWidget(m_gauge);
    setFixedSize(380, 170);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SplashForm = this;
}

TSplashForm::~TSplashForm()
{
    if (SplashForm == this)
        SplashForm = nullptr;
}

int TSplashForm::Progress() const
{
    return m_gauge->value();
}

int TSplashForm::ProgressMax() const
{
    return m_gauge->maximum();
}

void TSplashForm::SetProgressMax(int max)
{
    m_gauge->setMaximum(max);
}

void TSplashForm::UpdateProgressBar(int position)
{
    // A file added since the gauge was sized must still move it.
    if (position > m_gauge->maximum())
        m_gauge->setMaximum(position);
    // Painting is dearer than reading: repaint only when the shown percentage moves.
    const int max = qMax(1, m_gauge->maximum());
    const bool moved = qint64(position) * 100 / max != qint64(m_gauge->value()) * 100 / max;
    if (!moved || !m_gauge->isVisible()) {
        m_gauge->setValue(position);
        return;
    }
    // The gauge would paint a large step itself: held back, it paints once, here.
    m_gauge->setUpdatesEnabled(false);
    m_gauge->setValue(position);
    m_gauge->setUpdatesEnabled(true);
    m_gauge->repaint();
}
