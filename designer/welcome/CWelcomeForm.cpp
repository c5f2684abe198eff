#include "CWelcomeForm.h"

#include "CDesignerINIInfo.h"
#include "CGlobalMessages.h"
#include "CMessages.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int kHelpContext = 31;
constexpr int kCodeRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kIconSize = 24;

QIcon Icon(const char *theme, const char *ours)
{
    return QIcon::fromTheme(QString::fromLatin1(theme), QIcon(QString::fromLatin1(ours)));
}

QGroupBox *Group(const char *title, QWidget *parent)
{
    auto *group = new QGroupBox(QString::fromLatin1(title), parent);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 6, 6, 6);
    return group;
}
} // namespace

TWelcomeForm::TWelcomeForm(QWidget *target, TDesignerINIInfo &settings, QAction *useWelcome)
    : QDialog(target), m_target(target), m_settings(settings), m_useWelcome(useWelcome)
{
    setObjectName(QStringLiteral("WelcomeForm"));
    setWindowTitle(QStringLiteral(" Welcome to Velora Designer"));
    setProperty("HelpContext", kHelpContext);
    setModal(false);

    QListWidget *startNew = CreateList("StartNewList");
    AddEntry(startNew, Icon("document-new", ":/icons/document-new.svg"),
             QStringLiteral("Create a Paper form or e-form"), wcNewPaper);
    const QIcon web = Icon("text-html", ":/welcome/web-form.svg");
    AddEntry(startNew, web, QStringLiteral("Create a 640x480 \"safe\" Web form"), wcNewWeb640);
    AddEntry(startNew, web, QStringLiteral("Create a 800x600 \"safe\" Web form"), wcNewWeb800);
    AddEntry(startNew, web, QStringLiteral("Create a 1024x768 \"safe\" Web form"), wcNewWeb1024);

    QListWidget *recent = CreateList("OpenRecentList");
    const QIcon document(QStringLiteral(":/welcome/form-document.svg"));
    const QStringList &recents = settings.Recents();
    for (qsizetype i = 0; i < recents.size(); ++i) {
        const QFileInfo file(recents.at(i));
        AddEntry(recent, document, file.fileName(), wcOpenRecent, int(i));
        recent->item(int(i))->setToolTip(file.filePath());
    }
    auto *openOther = new QPushButton(Icon("document-open", ":/icons/document-open.svg"),
                                      QStringLiteral("Open Other..."), this);
    openOther->setObjectName(QStringLiteral("OpenOtherButton"));
    openOther->setAutoDefault(false);
    connect(openOther, &QPushButton::clicked, this,
            [this] { PostMessage(m_target, VRMSGWelcome, wcOpenOther); });

    QListWidget *support = CreateList("SupportList");
    AddEntry(support, Icon("help-contents", ":/icons/help-contents.svg"),
             QStringLiteral("View the Help"), wcHelp);
    AddEntry(support, QIcon(QStringLiteral(":/welcome/support-ticket.svg")),
             QStringLiteral("Open a Support Ticket"), wcSupportTicket);
    AddEntry(support, QIcon(QStringLiteral(":/welcome/feedback.svg")),
             QStringLiteral("Leave Feedback"), wcFeedback);
    AddEntry(support, QIcon(QStringLiteral(":/welcome/update.svg")),
             QStringLiteral("Download an Update"), wcUpdate);

    QGroupBox *startGroup = Group(" Start New ", this);
    startGroup->layout()->addWidget(startNew);
    QGroupBox *supportGroup = Group(" Support ", this);
    supportGroup->layout()->addWidget(support);
    QGroupBox *recentGroup = Group(" Open Recent ", this);
    recentGroup->layout()->addWidget(recent);
    auto *openRow = new QHBoxLayout;
    openRow->addStretch(1);
    openRow->addWidget(openOther);
    static_cast<QVBoxLayout *>(recentGroup->layout())->addLayout(openRow);

    m_doNotShow = new QCheckBox(QStringLiteral("Do not show this Welcome"), this);
    m_doNotShow->setObjectName(QStringLiteral("DoNotShowCheckBox"));
    m_doNotShow->setChecked(!settings.Welcome());
    connect(m_doNotShow, &QCheckBox::toggled, this, [this](bool doNotShow) {
        // The window stays until closed; only the next start goes without it.
        m_settings.SetWelcome(!doNotShow);
        if (m_useWelcome)
            m_useWelcome->setChecked(!doNotShow);
    });
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *columns = new QHBoxLayout;
    columns->setSpacing(10);
    auto *left = new QVBoxLayout;
    left->addWidget(startGroup);
    left->addWidget(supportGroup);
    columns->addLayout(left, 1);
    columns->addWidget(recentGroup, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_doNotShow);
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 12);
    body->setSpacing(10);
    body->addLayout(columns, 1);
    body->addLayout(bottom);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(CreateBanner());
    outer->addLayout(body, 1);

    // Each list as tall as its entries, none scrolling while the window fits them.
    for (QListWidget *list : {startNew, support})
        list->setFixedHeight((list->sizeHintForRow(0) + 2 * list->spacing()) * list->count()
                             + 2 * list->frameWidth());
    recent->setMinimumHeight(startNew->height());
    close->setFocus();
    resize(qMax(sizeHint().width(), 640), sizeHint().height());
}

QWidget *TWelcomeForm::CreateBanner()
{
    auto *banner = new QWidget(this);
    banner->setObjectName(QStringLiteral("WelcomeBanner"));
    banner->setAttribute(Qt::WA_StyledBackground);
    banner->setStyleSheet(QStringLiteral(
        "#WelcomeBanner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
        "stop:0 #1f3a68, stop:1 #2e6da4); } #WelcomeBanner QLabel { color: white; }"));
    auto *layout = new QVBoxLayout(banner);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(2);
    auto *title = new QLabel(QStringLiteral("Velora Designer"), banner);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.7);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    layout->addWidget(new QLabel(
        QStringLiteral("Design forms that print exactly where the boxes are, or fill them in "
                       "on screen."),
        banner));
    return banner;
}

QListWidget *TWelcomeForm::CreateList(const char *name)
{
    auto *list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setIconSize(QSize(kIconSize, kIconSize));
    list->setFrameShape(QFrame::NoFrame);
    list->setSpacing(1);
    list->setMouseTracking(true);
    list->setCursor(Qt::PointingHandCursor);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideMiddle);
    // The window's own colour: entries read as links on the page, not as a table.
    list->viewport()->setAutoFillBackground(false);
    list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"));
    // One click starts an entry; Enter does the same from the keyboard.
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (!style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick))
            Request(item);
    });
    connect(list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { Request(item); });
    return list;
}

void TWelcomeForm::AddEntry(QListWidget *list, const QIcon &icon, const QString &caption, int code,
                            int index)
{
    auto *item = new QListWidgetItem(icon, caption, list);
    item->setData(kCodeRole, code);
    item->setData(kIndexRole, index);
}

void TWelcomeForm::Request(const QListWidgetItem *item)
{
    if (item)
        PostMessage(m_target, VRMSGWelcome, std::uintptr_t(item->data(kCodeRole).toInt()),
                    item->data(kIndexRole).toInt());
}

void TWelcomeForm::SetDoNotShow(bool doNotShow)
{
    const QSignalBlocker quiet(m_doNotShow);
    m_doNotShow->setChecked(doNotShow);
}

void TWelcomeForm::done(int result)
{
    const bool wasVisible = isVisible();
    QDialog::done(result);
    if (wasVisible)
        PostMessage(m_target, VRMSGWelcome, wcClosed);
}
