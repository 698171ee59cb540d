#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace tessaro::test {

// What the server answers on one path.
struct HttpAnswer
{
    int status = 200;
    QByteArray reason = QByteArrayLiteral("OK");
    QList<QPair<QByteArray, QByteArray>> headers;
    // Accept and read the request, but never answer.
    bool silent = false;
    // After the headers, a body that never ends: written as fast as the
    // client takes it, until the client goes away.
    bool endlessBody = false;
    // After the status line, one header line that never ends.
    bool endlessHeader = false;
    // Whole interim responses ("HTTP/1.1 100 Continue\r\n\r\n") sent, one
    // write each, before the answer.
    QList<QByteArray> interim = {};
};

// One request as it arrived.
struct HttpRequest
{
    QByteArray method;
    QByteArray path;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The first header of that name (names compared without regard to
    // case), or an empty value.
    QByteArray header(const QByteArray& name) const;
};

// A minimal HTTP/1.1 server on 127.0.0.1 with a free port, serving from the
// event loop of the thread that made it. It records every request and
// answers each path as told; unknown paths get 404.
class LocalHttpServer final : public QObject
{
public:
    LocalHttpServer();
    ~LocalHttpServer() override;
    Q_DISABLE_COPY_MOVE(LocalHttpServer)

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString& path) const;
    void setAnswer(const QByteArray& path, const HttpAnswer& answer);

    const QList<HttpRequest>& requests() const { return m_requests; }
    int connectionCount() const { return m_connections; }
    // Bytes written of endless bodies and headers so far.
    qint64 streamedBytes() const { return m_streamed; }

private:
    void acceptConnections();
    void readFrom(QTcpSocket* socket);
    // Takes one whole request off the front of the buffer, if there is one.
    bool takeRequest(QByteArray& buffer, HttpRequest* request) const;
    void answer(QTcpSocket* socket, const HttpRequest& request);
    // Keeps writing filler to the socket until the other end closes it.
    void streamEndlessly(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QByteArray, HttpAnswer> m_answers;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<HttpRequest> m_requests;
    int m_connections = 0;
    qint64 m_streamed = 0;
};

} // namespace tessaro::test
