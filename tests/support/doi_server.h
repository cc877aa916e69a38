#pragma once
// A local server that answers like the DOI resolver: each request path is
// looked up, whatever its case, in `answers` (status, body, redirect target);
// an unknown path gets 404, an answer with a negative delay never comes. The
// resolver address of the program points to it while the server lives.

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace tz::testing {

class DoiServer : public QTcpServer
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray location; // for a redirect
        int delayMs = 0;
    };
    QHash<QByteArray, Answer> answers; // by path in lower case, "/10.1000/x"
    QList<QByteArray> requests;        // every request's head as received

    DoiServer()
    {
        listen(QHostAddress::LocalHost);
        qputenv("TESSELLANE_DOI_RESOLVER", address());
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    ~DoiServer() override { qunsetenv("TESSELLANE_DOI_RESOLVER"); }

    QByteArray address() const { return "http://127.0.0.1:" + QByteArray::number(serverPort()) + "/"; }

private:
    void answer(QTcpSocket *s)
    {
        QByteArray &head = m_heads[s];
        head += s->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        requests << head;
        const QByteArray path = head.split(' ').value(1).toLower();
        const Answer a = answers.value(path, Answer{404, "not found", {}, 0});
        m_heads.remove(s);
        if (a.delayMs < 0)
            return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nContent-Type: application/json\r\n";
        if (!a.location.isEmpty())
            reply += "Location: " + a.location + "\r\n";
        reply += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n\r\n" + a.body;
        QTimer::singleShot(a.delayMs, s, [s, reply] {
            s->write(reply);
            s->disconnectFromHost();
        });
    }
    QHash<QTcpSocket *, QByteArray> m_heads;
};

} // namespace tz::testing
