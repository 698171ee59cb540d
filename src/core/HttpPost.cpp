#include "core/HttpPost.h"

#include <QSslSocket>
#include <QTcpSocket>

#include <cctype>

namespace tessaro {

namespace {

bool isSecure(const QUrl& url)
{
    return url.scheme() == QLatin1String("https");
}

// The request target: the path (at least "/") and the query, as sent.
QByteArray targetOf(const QUrl& url)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    return target;
}

// The value of the first header of that name in a head, or nothing.
QByteArray headerValue(const QList<QByteArray>& lines, QByteArrayView name)
{
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// "HTTP/1.1 100 Continue", "HTTP/1.1 103 Early Hints": a response that is not
// the answer yet; the final one follows on the same connection.
bool isInterimHead(const QByteArray& head)
{
    const qsizetype space = head.indexOf(' ');
    return head.startsWith("HTTP/") && space > 0 && head.size() >= space + 4 &&
           head.at(space + 1) == '1' && std::isdigit(uchar(head.at(space + 2))) &&
           std::isdigit(uchar(head.at(space + 3))) &&
           (head.size() == space + 4 || head.at(space + 4) == ' ' || head.at(space + 4) == '\r');
}

bool isRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

HttpPost::HttpPost(QByteArray contentType, QByteArray body, int connectTimeoutMs,
                   int responseTimeoutMs)
    : m_contentType(std::move(contentType)), m_body(std::move(body)),
      m_connectTimeoutMs(connectTimeoutMs), m_responseTimeoutMs(responseTimeoutMs)
{
    m_guard.setSingleShot(true);
    connect(&m_guard, &QTimer::timeout, this, &HttpPost::timeOut);
}

HttpPost::~HttpPost() = default;

void HttpPost::send(const QUrl& url, Done done)
{
    m_whenDone = std::move(done);
    m_guard.start(m_connectTimeoutMs);
    start(url);
}

void HttpPost::start(const QUrl& url)
{
    // A redirect arrives in a signal of the old socket, which therefore
    // goes once that signal is over.
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket.release()->deleteLater();
    }
    m_url = url;
    m_head.clear();
    if (isSecure(url) && !QSslSocket::supportsSsl()) {
        fail(QStringLiteral("TLS is not available"));
        return;
    }
    m_socket = isSecure(url) ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
    // What the server sends beyond the head is never taken in.
    m_socket->setReadBufferSize(MaxHeadBytes);
    connect(m_socket.get(), &QTcpSocket::readyRead, this, &HttpPost::readHead);
    connect(m_socket.get(), &QTcpSocket::errorOccurred, this,
            [this] { fail(m_socket->errorString()); });
    const quint16 port = quint16(url.port(isSecure(url) ? 443 : 80));
    if (auto* secure = qobject_cast<QSslSocket*>(m_socket.get())) {
        connect(secure, &QSslSocket::encrypted, this, &HttpPost::sendRequest);
        secure->connectToHostEncrypted(url.host(), port);
    } else {
        connect(m_socket.get(), &QTcpSocket::connected, this, &HttpPost::sendRequest);
        m_socket->connectToHost(url.host(), port);
    }
}

void HttpPost::sendRequest()
{
    // The response clock starts with the first request and runs on through
    // every redirect, so the whole call ends within both time-outs.
    m_connecting = false;
    if (!m_responseClockStarted) {
        m_responseClockStarted = true;
        m_guard.start(m_responseTimeoutMs);
    }
    QByteArray request =
        m_method + ' ' + targetOf(m_url) + " HTTP/1.1\r\nHost: " +
        m_url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
        "\r\nConnection: close\r\n";
    if (!m_body.isEmpty() || m_method == "POST") {
        request += "Content-Type: " + m_contentType +
                   "\r\nContent-Length: " + QByteArray::number(m_body.size()) + "\r\n";
    }
    m_socket->write(request + "\r\n" + m_body);
}

void HttpPost::readHead()
{
    if (m_done)
        return;
    for (;;) {
        m_head += m_socket->read(MaxHeadBytes + 4 - m_head.size());
        const qsizetype end = m_head.indexOf("\r\n\r\n");
        if (end < 0)
            break;
        if (!isInterimHead(m_head.left(end))) {
            takeHead(m_head.left(end));
            return;
        }
        // Interim responses carry no body: the next head starts right after.
        m_head.remove(0, end + 4);
    }
    if (m_head.size() > MaxHeadBytes)
        fail(QStringLiteral("the response headers exceed %1 bytes").arg(MaxHeadBytes));
}

void HttpPost::takeHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    // "HTTP/1.1 200 OK": the version, the code, the reason phrase.
    const QByteArray statusLine = lines.value(0).trimmed();
    const qsizetype codeStart = statusLine.indexOf(' ') + 1;
    const qsizetype codeEnd = statusLine.indexOf(' ', codeStart);
    bool numeric = false;
    const int status =
        statusLine.mid(codeStart, codeEnd < 0 ? -1 : codeEnd - codeStart).toInt(&numeric);
    if (!statusLine.startsWith("HTTP/") || codeStart == 0 || !numeric) {
        fail(QStringLiteral("invalid response from the server"));
        return;
    }
    const QByteArray location = headerValue(lines.mid(1), "Location");
    if (isRedirectStatus(status) && !location.isEmpty()) {
        redirect(status, location);
        return;
    }
    m_outcome.answered = true;
    m_outcome.status = status;
    m_outcome.reason =
        codeEnd < 0 ? QString() : QString::fromLatin1(statusLine.mid(codeEnd + 1).trimmed());
    finish();
}

void HttpPost::redirect(int status, const QByteArray& location)
{
    if (m_redirects == MaxRedirects) {
        fail(QStringLiteral("too many redirects (more than %1)").arg(MaxRedirects));
        return;
    }
    const QUrl next = m_url.resolved(QUrl::fromEncoded(location));
    const QString scheme = next.scheme();
    if (!next.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(QStringLiteral("redirect to an unsupported address: ") +
             QString::fromLatin1(location));
        return;
    }
    if (isSecure(m_url) && !isSecure(next)) {
        fail(QStringLiteral("insecure redirect from https to http"));
        return;
    }
    ++m_redirects;
    // As browsers do, only 307 and 308 repeat the POST; the others fetch
    // the new address.
    if (status != 307 && status != 308) {
        m_method = QByteArrayLiteral("GET");
        m_body.clear();
    }
    start(next);
}

void HttpPost::timeOut()
{
    fail(m_connecting ? QStringLiteral("connection timed out after %1 ms").arg(m_connectTimeoutMs)
                      : QStringLiteral("no response within %1 ms").arg(m_responseTimeoutMs));
}

void HttpPost::fail(const QString& error)
{
    if (m_done)
        return;
    m_outcome.error = error.isEmpty() ? QStringLiteral("unknown error") : error;
    finish();
}

void HttpPost::finish()
{
    m_done = true;
    m_guard.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    // The outcome may be known inside send already (TLS missing): the
    // caller hears of it from the event loop all the same.
    QMetaObject::invokeMethod(
        this, [this] { m_whenDone(m_outcome); }, Qt::QueuedConnection);
}

} // namespace tessaro
