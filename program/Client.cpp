#include "program/Client.h"

#include <QTcpSocket>

Client::Client(QObject* parent) : QObject(parent) {}

Client::~Client() = default;

QByteArray Client::sourceTableRequest() {
    // A caster answers an anonymous request ("Basic" of an empty user and
    // password, ":") with its source table and closes the connection.
    const QByteArray anonymous = QByteArrayLiteral(":").toBase64();
    return QByteArrayLiteral("GET / HTTP/1.0\r\n"
                             "User-Agent: NTRIP Brantor\r\n"
                             "Accept: */*\r\n"
                             "Connection: close\r\n"
                             "Authorization: Basic ") +
           anonymous + QByteArrayLiteral("\r\n\r\n");
}

bool Client::connectToServer(const QString& host, quint16 port, int waitMs) {
    if (!socket_) socket_ = new QTcpSocket(this);
    closingItself_ = true;
    socket_->abort();
    closingItself_ = false;
    // The error of an earlier connection says nothing about this one.
    closeReason_ = QAbstractSocket::RemoteHostClosedError;
    socket_->connectToHost(host, port, QIODevice::ReadWrite);
    // One connection however often the client connects: each arrival is
    // read and handed on once.
    connect(socket_, &QTcpSocket::readyRead, this, &Client::readMesg, Qt::UniqueConnection);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Client::onError, Qt::UniqueConnection);
    connect(socket_, &QTcpSocket::disconnected, this, &Client::onDisconnected, Qt::UniqueConnection);
    return socket_->waitForConnected(waitMs);
}

void Client::requestSourceTable() {
    if (socket_) socket_->write(sourceTableRequest());
}

void Client::readMesg() {
    if (!socket_) return;
    const QByteArray bytes = socket_->readAll();
    // Byte for byte: a piece may end inside a character of a multi-byte
    // encoding, and the listener joins the pieces as they come.
    QString text = QString::fromLatin1(bytes);
    emit message(text);
}

void Client::onDisconnected() {
    if (!socket_ || closingItself_) return;
    // Bytes that came with the close are still to be handed on; the
    // listener must see them before it hears of the close.
    if (socket_->bytesAvailable() > 0) readMesg();
    emit closed(closeReason_);
}

void Client::onError(QAbstractSocket::SocketError error) {
    // A broken connection ends with an error of its own before it is
    // disconnected; a plain close by the caster keeps the default.
    if (error != QAbstractSocket::UnknownSocketError) closeReason_ = error;
}

void Client::disconnectFromServer() {
    if (!socket_) return;
    // Until the next connection: a graceful close ends when the peer has
    // taken what was still to be sent, possibly later.
    closingItself_ = true;
    socket_->disconnectFromHost();
}
