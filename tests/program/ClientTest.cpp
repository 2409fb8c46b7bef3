// The source-table client against a real NTRIP caster (rtklib's str2str on a
// loopback port) and, for the exact request bytes, against a local server.

#include "program/Client.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTest>

namespace {

// A loopback port that nothing listens on right now.
quint16 FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

// Collects the pieces the client hands on.
struct Pieces : QObject {
    QStringList got;
    QString joined() const { return got.join(QString()); }
};

TEST(ClientTest, RequestBytesAreExactlyTheSixLines) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    Client client;
    ASSERT_TRUE(client.connectToServer(QStringLiteral("127.0.0.1"), server.serverPort(), 5000));
    ASSERT_TRUE(server.waitForNewConnection(5000));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_NE(peer, nullptr);
    client.requestSourceTable();
    const QByteArray expected = QByteArrayLiteral(
        "GET / HTTP/1.0\r\n"
        "User-Agent: NTRIP Brantor\r\n"
        "Accept: */*\r\n"
        "Connection: close\r\n"
        "Authorization: Basic Og==\r\n"  // Base64 of ":"
        "\r\n");
    QByteArray got;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        peer->waitForReadyRead(10);
        got += peer->readAll();
        return got.size() >= expected.size();
    }, 5000));
    QTest::qWait(50);
    got += peer->readAll();
    EXPECT_EQ(got, expected);

    // What the server sends comes out in pieces, in arrival order.
    Pieces pieces;
    QObject::connect(&client, &Client::message, &pieces, [&](QString& m) { pieces.got << m; });
    peer->write("first\r\n");
    peer->flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pieces.joined() == QStringLiteral("first\r\n"); }, 5000));
    peer->write("\xe9nd");  // bytes beyond ASCII arrive byte for byte
    peer->flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pieces.joined().endsWith(QStringLiteral("\u00e9nd")); }, 5000));
    client.disconnectFromServer();
}

TEST(ClientTest, ARefusedPortReturnsFalse) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    Client client;
    EXPECT_FALSE(client.connectToServer(QStringLiteral("127.0.0.1"), port, 5000));
    // And again with the same client.
    EXPECT_FALSE(client.connectToServer(QStringLiteral("127.0.0.1"), port, 5000));
}

// A caster that closes the connection, here before its table's end, is
// told at once and after everything it sent; a close by the client itself
// is not the caster's and tells nothing.
TEST(ClientTest, ACloseByTheCasterIsToldAfterWhatItSent) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    Client client;
    QStringList events;
    QObject::connect(&client, &Client::message, &client, [&](QString& m) { events << QStringLiteral("piece ") + m; });
    QObject::connect(&client, &Client::closed, &client, [&](QAbstractSocket::SocketError why) {
        events << QStringLiteral("closed %1").arg(int(why));
    });
    const QString closedByCaster = QStringLiteral("closed %1").arg(int(QAbstractSocket::RemoteHostClosedError));

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        events.clear();
        ASSERT_TRUE(client.connectToServer(QStringLiteral("127.0.0.1"), server.serverPort(), 5000));
        ASSERT_TRUE(server.waitForNewConnection(5000));
        QTcpSocket* peer = server.nextPendingConnection();
        ASSERT_NE(peer, nullptr);
        peer->write("SOURCETABLE 200 OK\r\nSTR;ALPHA;");
        peer->disconnectFromHost();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !events.isEmpty() && events.last().startsWith("closed"); }, 20000))
            << events.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(events.count(closedByCaster), 1) << events.join(QLatin1Char('|')).toStdString();
        QString received;
        for (const QString& e : std::as_const(events))
            if (e.startsWith(QStringLiteral("piece "))) received += e.mid(6);
        EXPECT_EQ(received, QStringLiteral("SOURCETABLE 200 OK\r\nSTR;ALPHA;"));
        delete peer;
    }

    // The client closes: the peer sees the close, the client tells nothing.
    events.clear();
    ASSERT_TRUE(client.connectToServer(QStringLiteral("127.0.0.1"), server.serverPort(), 5000));
    ASSERT_TRUE(server.waitForNewConnection(5000));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_NE(peer, nullptr);
    client.disconnectFromServer();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        peer->waitForReadyRead(10);
        return peer->state() == QAbstractSocket::UnconnectedState;
    }, 20000));
    QTest::qWait(100);
    EXPECT_TRUE(events.isEmpty()) << events.join(QLatin1Char('|')).toStdString();
    delete peer;
}

class CasterTest : public testing::Test {
protected:
    void SetUp() override {
        const QString str2str = QStandardPaths::findExecutable(QStringLiteral("str2str"));
        ASSERT_FALSE(str2str.isEmpty()) << "str2str (package rtklib) is not installed";
        ASSERT_TRUE(input_.open());
        input_.write(QByteArray(64, '\0'));
        input_.flush();
        port_ = FreePort();
        ASSERT_NE(port_, 0);
        caster_.setProgram(str2str);
        // One mount point; its source-table fields hold no spaces.
        caster_.setArguments({QStringLiteral("-in"), QStringLiteral("file://") + input_.fileName(),
                              QStringLiteral("-out"),
                              QStringLiteral("ntripc://:%1/BRNT0:RTCM3;1004(1),1006(10);2;GPS;BRT;DEU").arg(port_)});
        caster_.setProcessChannelMode(QProcess::MergedChannels);
        caster_.start();
        ASSERT_TRUE(caster_.waitForStarted(5000));
        // The caster listens a moment after it starts.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
            return probe.waitForConnected(100);
        }, 10000)) << caster_.readAll().toStdString();
    }
    void TearDown() override {
        if (caster_.state() != QProcess::NotRunning) {
            caster_.terminate();
            if (!caster_.waitForFinished(5000)) {
                caster_.kill();
                caster_.waitForFinished(5000);
            }
        }
    }

    // One fetch as the source-table page does it: connect, request, gather
    // until the end marker.
    QString fetch(Client& client, Pieces& pieces) {
        pieces.got.clear();
        if (!client.connectToServer(QStringLiteral("127.0.0.1"), port_, 30000)) return QString();
        client.requestSourceTable();
        (void)QTest::qWaitFor([&] { return pieces.joined().contains(QStringLiteral("ENDSOURCETABLE")); }, 10000);
        client.disconnectFromServer();
        return pieces.joined();
    }

    QTemporaryFile input_;
    QProcess caster_;
    quint16 port_ = 0;
};

TEST_F(CasterTest, FetchesTheSourceTableTwiceWithOneClient) {
    Client client;
    Pieces pieces;
    QObject::connect(&client, &Client::message, &pieces, [&](QString& m) { pieces.got << m; });
    for (int round = 0; round < 2; ++round) {
        const QString table = fetch(client, pieces);
        EXPECT_TRUE(table.startsWith(QStringLiteral("SOURCETABLE 200 OK\r\n"))) << round << table.toStdString();
        EXPECT_TRUE(table.contains(QStringLiteral("\r\nSTR;BRNT0;RTCM3;1004(1),1006(10);2;GPS;BRT;DEU\r\n")))
            << round << table.toStdString();
        EXPECT_TRUE(table.endsWith(QStringLiteral("ENDSOURCETABLE\r\n"))) << round << table.toStdString();
        // Each piece once: the read is connected once however often the
        // client connected.
        EXPECT_EQ(table.count(QStringLiteral("ENDSOURCETABLE")), 1) << round;
        for (const QString& piece : std::as_const(pieces.got)) EXPECT_FALSE(piece.isEmpty()) << round;
    }
}

}  // namespace
