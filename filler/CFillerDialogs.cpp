#include "CFillerDialogs.h"

#include "CDialogService.h"
#include "CGlobal.h"
#include "CPlugIns.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

const char *const CVELORA_DOWNLOAD_URL = "https://velora.invalid/download";

namespace {
QLabel *LinkLabel(QWidget *parent)
{
    const QString url = QString::fromLatin1(CVELORA_DOWNLOAD_URL);
    auto *link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(url), parent);
    link->setObjectName(QStringLiteral("DownloadLink"));
    link->setCursor(Qt::PointingHandCursor);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(link, &QLabel::linkActivated, parent,
                     [](const QString &target) { Global_OpenUrl(QUrl(target)); });
    return link;
}

QLabel *Paragraphs(const QString &text, QWidget *parent)
{
    auto *label
        = new QLabel(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), parent);
    label->setWordWrap(true);
    return label;
}
} // namespace

TFillerLoadErrDlg::TFillerLoadErrDlg(QWidget *parent, bool properties, bool filler,
                                     const QStringList &missing)
    : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("FillerLoadErrDlg"));
    auto *layout = new QVBoxLayout(this);
    if (properties) {
        setWindowTitle(QStringLiteral("Properties Not Recognised!"));
        m_helpContext = filler ? 10 : 48;
        layout->addWidget(Paragraphs(
            QStringLiteral("The Velora document you attempted to open holds references to "
                           "properties that are not recognised.\r\n\r\nThis is most likely due to "
                           "an out of date installation of Velora on your PC.\r\n\r\nDownload and "
                           "install the latest Velora setup from"),
            this));
    } else if (filler) {
        setWindowTitle(QStringLiteral("Form Element(s) Not Recognised!"));
        m_helpContext = 9;
        layout->addWidget(Paragraphs(
            QStringLiteral("The Velora document you attempted to open contains one or more form "
                           "elements Velora Filler does not recognise.\r\n\r\nTo open the Velora "
                           "document, shutdown Velora Filler then download and install the latest "
                           "Velora Filler setup from"),
            this));
    } else {
        setWindowTitle(QStringLiteral("Velora Plug-in(s) Not Found!"));
        m_helpContext = 47;
        layout->addWidget(Paragraphs(
            QStringLiteral("The Velora document you attempted to open requires the following "
                           "Velora Plug-in(s)..."),
            this));
        m_list = new QListWidget(this);
        m_list->setObjectName(QStringLiteral("MissingPlugIns"));
        m_list->addItems(missing);
        layout->addWidget(m_list);
        layout->addWidget(Paragraphs(QStringLiteral("To open the Velora document, shutdown Velora "
                                                    "Designer then download and install Velora "
                                                    "Designer from"),
                                     this));
    }
    // F1 finds a window's help by this property.
    setProperty("HelpContext", m_helpContext);
    // The sentence ends in the address.
    layout->addWidget(LinkLabel(this));
    // The filler names no kinds in its text; the list still tells support what was missing.
    if (!m_list && !missing.isEmpty()) {
        layout->addWidget(new QLabel(QStringLiteral("Not installed:"), this));
        m_list = new QListWidget(this);
        m_list->setObjectName(QStringLiteral("MissingPlugIns"));
        m_list->addItems(missing);
        m_list->setMaximumHeight(m_list->sizeHintForRow(0) * qMin(int(m_list->count()), 5)
                                 + 2 * m_list->frameWidth());
        layout->addWidget(m_list);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void ShowLoadErrorDialog(bool properties, const QStringList &missing)
{
    TFillerLoadErrDlg dialog(GlobalMainForm, properties, GlobalVeloraFiller(), missing);
    DialogService().ExecModal(dialog);
}

TValidationFailureDlg::TValidationFailureDlg(QWidget *parent, bool continueMode,
                                             const QString &messages)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ValidationFailureDlg"));
    setWindowTitle(QStringLiteral("Validate"));
    setProperty("HelpContext", 29);
    auto *layout = new QVBoxLayout(this);
    auto *head = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    head->addWidget(icon);
    head->addWidget(new QLabel(QStringLiteral("Form validation failed!"), this), 1);
    layout->addLayout(head);

    const QStringList lines = QString(messages)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\r"))
                                  .split(QRegularExpression(QStringLiteral("[\r\n]")));
    auto *text = new QLabel(lines.join(u'\n'), this);
    text->setObjectName(QStringLiteral("Messages"));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The 8 pixels of width beyond the longest line keep the text off the frame.
    text->setContentsMargins(4, 0, 4, 0);
    QFont font = text->font();
    font.setPixelSize(LineHeight - 2);
    text->setFont(font);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(text);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Wide enough for the longest line; tall enough for every line up to sixteen.
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int frame = 2 * m_scroll->frameWidth();
    const int content = text->sizeHint().height();
    const int visible = lines.size() <= MaxLines
        ? content
        : qMin(content, MaxLines * metrics.lineSpacing() + text->margin() * 2);
    m_scroll->setFixedSize(widest + bar + 8 + frame, visible + frame);
    layout->addWidget(m_scroll, 0, Qt::AlignHCenter);

    if (continueMode) {
        auto *question = new QLabel(QStringLiteral("Publish Anyway?"), this);
        layout->addWidget(question, 0, Qt::AlignHCenter);
        auto *buttons = new QDialogButtonBox(this);
        QPushButton *yes = buttons->addButton(QStringLiteral("&Yes"), QDialogButtonBox::YesRole);
        QPushButton *no = buttons->addButton(QStringLiteral("&No"), QDialogButtonBox::NoRole);
        yes->setObjectName(QStringLiteral("YesButton"));
        no->setObjectName(QStringLiteral("NoButton"));
        no->setDefault(true);
        no->setFocus();
        connect(yes, &QPushButton::clicked, this, [this] { done(mrYes); });
        connect(no, &QPushButton::clicked, this, [this] { done(mrNo); });
        buttons->setCenterButtons(true);
        layout->addWidget(buttons);
    } else {
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        buttons->setCenterButtons(true);
        buttons->button(QDialogButtonBox::Ok)->setFocus();
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(mrOk); });
        layout->addWidget(buttons);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Centred on the screen, not over the window that validated.
    adjustSize();
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TAboutDialog::TAboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About Velora"));
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(GlobalAppTitle()), this);
    name->setObjectName(QStringLiteral("ProgramName"));
    layout->addWidget(name);
    auto *version
        = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(VELORA_VERSION)), this);
    version->setObjectName(QStringLiteral("Version"));
    layout->addWidget(version);
    layout->addWidget(new QLabel(QStringLiteral("Design and fill in forms that print exactly "
                                                "where the boxes are."),
                                 this));
    layout->addWidget(new QLabel(
        QStringLiteral("Free software under the GNU General Public License, version 3 or later."),
        this));
    // Which element kinds this installation can show and fill.
    if (GlobalPlugIns && GlobalPlugIns->Count() > 0) {
        layout->addWidget(new QLabel(QStringLiteral("Installed element kinds:"), this));
        auto *kinds = new QListWidget(this);
        kinds->setObjectName(QStringLiteral("PlugInList"));
        kinds->setSelectionMode(QAbstractItemView::NoSelection);
        kinds->setFocusPolicy(Qt::NoFocus);
        for (const auto &plugIn : GlobalPlugIns->List()) {
            const QString text
                = plugIn->Description().isEmpty() ? plugIn->ClassName() : plugIn->Description();
            auto *item = new QListWidgetItem(text, kinds);
            if (plugIn->PaletteImage())
                item->setIcon(QIcon(*plugIn->PaletteImage()));
        }
        kinds->setMaximumHeight(kinds->sizeHintForRow(0) * qMin(int(kinds->count()), 5)
                                + 2 * kinds->frameWidth());
        layout->addWidget(kinds);
    }
    layout->addWidget(LinkLabel(this));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
