#include "WebHook.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tessaro {

QList<QPair<QString, QString>> WebHookFormPairs(const QString& subject, const QString& message,
                                                const QString& status, const QString& computerName)
{
    const QList<QPair<QString, QString>> all = {
        {QStringLiteral("subject"), subject},
        {QStringLiteral("message"), message},
        {QStringLiteral("status"), status},
        {QStringLiteral("computername"), computerName},
    };
    QList<QPair<QString, QString>> pairs;
    for (const auto& pair : all) {
        if (!pair.second.isEmpty())
            pairs.append(pair);
    }
    return pairs;
}

namespace {

// UTF-8 with everything but the unreserved characters percent-encoded in
// upper-case hex, and blanks as plus signs (the HTML form encoding).
QByteArray encodeFormText(const QString& text)
{
    QByteArray encoded = text.toUtf8().toPercentEncoding(QByteArrayLiteral(" "));
    encoded.replace(' ', '+');
    return encoded;
}

} // namespace

QByteArray EncodeForm(const QList<QPair<QString, QString>>& pairs)
{
    QByteArray body;
    for (const auto& [name, value] : pairs) {
        if (!body.isEmpty())
            body += '&';
        body += encodeFormText(name) + '=' + encodeFormText(value);
    }
    return body;
}

namespace {

constexpr int connectTimeoutMs = 2000;
constexpr int responseTimeoutMs = 2000;

// Why a URL is not sent at all, or an empty text when it may be sent. Only
// plain web addresses are allowed: a file or other scheme would make the
// notification read or write something other than a web endpoint.
QString refusalOf(const QUrl& url)
{
    const QString scheme = url.scheme();
    const QString allowed = QStringLiteral(" (only http and https are allowed)");
    if (scheme.isEmpty())
        return QStringLiteral("missing URL scheme") + allowed;
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QStringLiteral("unsupported URL scheme: ") + scheme + allowed;
    if (!url.isValid())
        return QStringLiteral("invalid URL: ") + url.errorString();
    return {};
}

// The text for a request that ran out of time in the given stage.
QString timeoutText(bool connecting)
{
    return connecting ? QStringLiteral("connection timed out after %1 ms").arg(connectTimeoutMs)
                      : QStringLiteral("no response within %1 ms").arg(responseTimeoutMs);
}

// Waits for the reply in a local event loop that leaves user input alone,
// so the window takes no clicks meanwhile, as during auto clean. Qt's transfer time-out only
// notices a stalled transfer; the guard timer bounds each stage as a whole:
// connecting (name resolution included), then sending the request and
// receiving the response. A redirect starts over with a new connection.
// Returns true when the guard ended the wait.
bool waitForReply(QNetworkReply* reply, bool* stillConnecting)
{
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    bool timedOut = false;
    *stillConnecting = true;

    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::requestSent, &guard, [&] {
        *stillConnecting = false;
        guard.start(responseTimeoutMs);
    });
    QObject::connect(reply, &QNetworkReply::redirected, &guard, [&] {
        *stillConnecting = true;
        guard.start(connectTimeoutMs);
    });
    QObject::connect(&guard, &QTimer::timeout, reply, [&] {
        timedOut = true;
        reply->abort();
    });

    guard.start(connectTimeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return timedOut;
}

// The client's message, which it should always have.
QString clientText(const QNetworkReply& reply)
{
    const QString text = reply.errorString();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

// What a finished reply tells the caller.
WebHookResult outcomeOf(const QNetworkReply& reply, bool stillConnecting)
{
    switch (reply.error()) {
    // The client's own transfer time-out ends the reply as canceled.
    case QNetworkReply::OperationCanceledError:
        return {false, timeoutText(stillConnecting)};
    // A redirect that was not followed leaves the redirect's status behind,
    // which would not say why the call failed.
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
        return {false, clientText(reply)};
    default:
        break;
    }

    // Any status code means a response arrived, even one the client counts
    // as an error (404 and the like): its reason phrase says what happened.
    const QVariant statusCode = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!statusCode.isValid())
        return {false, clientText(reply)};
    const int code = statusCode.toInt();
    // HTTP/2 responses carry no reason phrase; the number still tells.
    const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    return {code == 200,
            reason.isEmpty() ? QStringLiteral("HTTP status ") + QString::number(code) : reason};
}

} // namespace

WebHookResult PostWebHook(const QString& url, const QString& subject, const QString& message,
                          const QString& status, const QString& computerName)
{
    const QUrl target(url);
    if (const QString refusal = refusalOf(target); !refusal.isEmpty())
        return {false, refusal};

    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded; charset=utf-8"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(responseTimeoutMs);

    // The reply is a child of the manager and goes with it.
    QNetworkAccessManager manager;
    const QByteArray body = EncodeForm(WebHookFormPairs(subject, message, status, computerName));
    QNetworkReply* reply = manager.post(request, body);

    bool stillConnecting = true;
    if (waitForReply(reply, &stillConnecting))
        return {false, timeoutText(stillConnecting)};
    return outcomeOf(*reply, stillConnecting);
}

} // namespace tessaro
