#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace tessaro::test {

QByteArray HttpRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::acceptConnections);
    m_server.listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer()
{
    // Connections still open would report their end while the members their
    // handlers use are already gone, so they end here, silently, first.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) {
        socket->disconnect();
        socket->abort();
        delete socket;
    }
    m_server.close();
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LocalHttpServer::setAnswer(const QByteArray& path, const HttpAnswer& answer)
{
    m_answers.insert(path, answer);
}

void LocalHttpServer::acceptConnections()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::readFrom(QTcpSocket* socket)
{
    // Every answer closes the connection, so one request per connection is
    // all there is to read.
    m_buffers[socket] += socket->readAll();
    HttpRequest request;
    if (!takeRequest(m_buffers[socket], &request))
        return;
    m_requests.append(request);
    answer(socket, request);
}

bool LocalHttpServer::takeRequest(QByteArray& buffer, HttpRequest* request) const
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return false;

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    HttpRequest parsed;
    parsed.method = requestLine.value(0);
    parsed.path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            parsed.headers.append(
                {lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed()});
    }

    const qsizetype bodyStart = headerEnd + 4;
    const qsizetype bodySize = parsed.header(QByteArrayLiteral("Content-Length")).toLongLong();
    if (buffer.size() < bodyStart + bodySize)
        return false;
    parsed.body = buffer.mid(bodyStart, bodySize);
    buffer.remove(0, bodyStart + bodySize);
    *request = parsed;
    return true;
}

void LocalHttpServer::answer(QTcpSocket* socket, const HttpRequest& request)
{
    const HttpAnswer reply =
        m_answers.value(request.path, {404, QByteArrayLiteral("Not Found"), {}, false});
    if (reply.silent)
        return;
    for (const QByteArray& head : reply.interim) {
        socket->write(head);
        socket->flush();
    }

    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason +
                          "\r\nConnection: close\r\n";
    if (reply.endlessHeader) {
        socket->write(response + "X-Filler: ");
        streamEndlessly(socket);
        return;
    }
    for (const auto& [name, value] : reply.headers)
        response += name + ": " + value + "\r\n";
    if (reply.endlessBody) {
        // No length: the body runs until the connection closes.
        socket->write(response + "\r\n");
        streamEndlessly(socket);
        return;
    }
    // 204 and 304 carry no body and therefore no length.
    if (reply.status != 204 && reply.status != 304)
        response += "Content-Length: 0\r\n";
    response += "\r\n";
    socket->write(response);
    socket->disconnectFromHost();
}

void LocalHttpServer::streamEndlessly(QTcpSocket* socket)
{
    static const QByteArray filler(64 * 1024, 'a');
    const auto topUp = [this, socket] {
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < filler.size()) {
            socket->write(filler);
            m_streamed += filler.size();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, this, topUp);
    topUp();
}

} // namespace tessaro::test
