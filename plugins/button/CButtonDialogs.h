#pragma once
// The small dialogs a button's actions show while filling: the page to go to,
// and the web address to open with the addresses used before.

#include "CBaseForm.h"

class QComboBox;
class QSpinBox;

class TButtonGotoPageDlg : public TBaseForm
{
    Q_OBJECT
public:
    // The page number is kept within 1 and pageCount.
    TButtonGotoPageDlg(QWidget *parent, int page, int pageCount);
    int Page() const;

private:
    QSpinBox *m_page;
};

class TButtonHyperLinkToURLForm : public TBaseForm
{
    Q_OBJECT
public:
    TButtonHyperLinkToURLForm(QWidget *parent, const QString &url);
    QString URL() const;
    void accept() override;

private:
    QComboBox *m_url;
};
