#include "VeloraApp.h"

#include "CAppPaths.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <memory>

int RunVeloraProgram(int argc, char **argv, const QString &applicationName,
                     const std::function<QMainWindow *()> &createMainWindow)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    QApplication::setOrganizationName(QStringLiteral("Corvale"));
    QApplication::setApplicationVersion(QStringLiteral(VELORA_VERSION));
    GlobalInitPaths();

    QString screenshot;
    for (const QString &arg : QApplication::arguments().mid(1))
        if (arg.startsWith(QLatin1String("--screenshot=")))
            screenshot = arg.mid(int(qstrlen("--screenshot=")));

    std::unique_ptr<QMainWindow> window(createMainWindow());
    window->show();
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, window.get(), [&window, screenshot] {
            const bool saved = window->grab().save(screenshot);
            window->close();
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
