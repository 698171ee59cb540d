#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class QTcpSocket;

namespace tessaro {

// One HTTP/1.1 POST whose whole life has fixed bounds, whatever the server
// does: a time for connecting, then one time for everything else (redirects
// included, which never start the clock again), at most five redirects, and
// a response read only up to the end of its headers, which may not exceed
// MaxHeadBytes. The body is never read. The call runs from the event loop of
// the calling thread: send returns at once and the outcome arrives later.
class HttpPost final : public QObject
{
public:
    static constexpr int MaxRedirects = 5;
    static constexpr qsizetype MaxHeadBytes = 64 * 1024;

    struct Outcome
    {
        // A final response's status line arrived.
        bool answered = false;
        int status = 0;
        QString reason;
        // Why no final response arrived.
        QString error;
    };

    HttpPost(QByteArray contentType, QByteArray body, int connectTimeoutMs, int responseTimeoutMs);
    ~HttpPost() override;
    Q_DISABLE_COPY_MOVE(HttpPost)

    using Done = std::function<void(const Outcome& outcome)>;

    // Sends the request to an http or https URL; done gets the outcome once,
    // from the event loop. The object may be deleted later from done.
    void send(const QUrl& url, Done done);

private:
    void start(const QUrl& url);
    void sendRequest();
    void readHead();
    // Judges a complete head: a redirect starts the next request, anything
    // else ends the call.
    void takeHead(const QByteArray& head);
    void redirect(int status, const QByteArray& location);
    void timeOut();
    void fail(const QString& error);
    void finish();

    const QByteArray m_contentType;
    QByteArray m_body;
    QByteArray m_method = QByteArrayLiteral("POST");
    const int m_connectTimeoutMs;
    const int m_responseTimeoutMs;

    QUrl m_url;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_head;
    int m_redirects = 0;
    bool m_connecting = true;
    bool m_responseClockStarted = false;
    bool m_done = false;
    Outcome m_outcome;
    Done m_whenDone;
    QTimer m_guard;
};

} // namespace tessaro
