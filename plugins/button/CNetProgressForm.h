#pragma once
// The " Progress..." window over a send or a post: the client's status, a
// gauge of the bytes sent, and Cancel, which stops the transfer. It stays on
// top and keeps the form from being changed while the network works.

#include <QDialog>

class QLabel;
class QProgressBar;
class TIdTCPClient;

class TNetProgressForm : public QDialog
{
    Q_OBJECT
public:
    // Shows itself at once, centred on the parent, and follows the client until destroyed.
    TNetProgressForm(QWidget *parent, TIdTCPClient &client, qint64 maximum);
    ~TNetProgressForm() override;

    QString StatusText() const;
    int Position() const;
    void reject() override;

private:
    void Work(qint64 bytes);

    TIdTCPClient &m_client;
    QLabel *m_status;
    QProgressBar *m_gauge;
    qint64 m_maximum;
};
