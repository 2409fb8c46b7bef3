#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>

class QTcpSocket;

// Fetches an NTRIP caster's source table over the program's own TCP
// connection. It only connects, sends the request and hands on whatever
// arrives; the listener gathers the pieces until "ENDSOURCETABLE" and owns
// the overall time limit. A connection that the caster closes (or that
// breaks) is told at once, so that a table that ends early is not waited for.
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
    // The connection ended without the client closing it: `why` is
    // RemoteHostClosedError when the caster closed it, another code when it
    // broke. Everything that arrived before has been handed on first.
    void closed(QAbstractSocket::SocketError why);

public slots:
    void readMesg();

private:
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket* socket_ = nullptr;
    // The client itself is closing or dropping the connection: that end is
    // not the caster's.
    bool closingItself_ = false;
    // What ended the connection, as the socket last reported it.
    QAbstractSocket::SocketError closeReason_ = QAbstractSocket::RemoteHostClosedError;
};
