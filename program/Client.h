#pragma once

#include <QObject>
#include <QString>

class QTcpSocket;

// Fetches an NTRIP caster's source table over the program's own TCP
// connection. It only connects, sends the request and hands on whatever
// arrives; the listener gathers the pieces until "ENDSOURCETABLE" and owns
// the overall time limit.
class Client : public QObject {
    Q_OBJECT

public:
    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // Drops whatever the socket was doing and connects; true when the
    // connection was made within waitMs. Blocks the calling thread meanwhile.
    bool connectToServer(const QString& host, quint16 port, int waitMs);
    // The source-table request, in one write.
    void requestSourceTable();
    // Closes the connection gracefully.
    void disconnectFromServer();

    // The request exactly as it goes on the wire.
    static QByteArray sourceTableRequest();

signals:
    void message(QString& msg);

public slots:
    void readMesg();

private:
    QTcpSocket* socket_ = nullptr;
};
