#pragma once
// The window shown while a program starts, with a gauge that advances as the
// plug-ins load. A plain window: it never waits for the user.

#include <QWidget>

class QProgressBar;

class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    // The gauge is sized by the plug-in files of the programs' folder.
    explicit TSplashForm(QWidget *parent = nullptr);
    ~TSplashForm() override;

    int Progress() const;
    int ProgressMax() const;
    void SetProgressMax(int max);
    // Moves the gauge and repaints it at once, without running the event loop.
    void UpdateProgressBar(int position);

    QProgressBar *ProgressBar() const { return m_gauge; }

private:
    QProgressBar *m_gauge; // Qt child
};

// The start-up window while one exists, else null: set by the window itself;
// read by plug-in loading and document reading to move its gauge.
extern TSplashForm *SplashForm;
