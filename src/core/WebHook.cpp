#include "core/WebHook.h"

#include "core/HttpPost.h"

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

// What a call's outcome means for the webhook.
WebHookResult resultOf(const HttpPost::Outcome& outcome)
{
    if (!outcome.answered)
        return {false, outcome.error};
    // HTTP/2-style responses may carry no reason phrase; the number still
    // tells.
    return {outcome.status == 200, outcome.reason.isEmpty() ? QStringLiteral("HTTP status ") +
                                                                  QString::number(outcome.status)
                                                            : outcome.reason};
}

} // namespace

void PostWebHook(const QString& url, const QString& subject, const QString& message,
                 const QString& status, const QString& computerName,
                 std::function<void(const WebHookResult& result)> done)
{
    const QUrl target(url);
    if (const QString refusal = refusalOf(target); !refusal.isEmpty()) {
        done({false, refusal});
        return;
    }

    auto* post = new HttpPost(QByteArrayLiteral("application/x-www-form-urlencoded; charset=utf-8"),
                              EncodeForm(WebHookFormPairs(subject, message, status, computerName)),
                              connectTimeoutMs, responseTimeoutMs);
    post->send(target, [post, done = std::move(done)](const HttpPost::Outcome& outcome) {
        post->deleteLater();
        done(resultOf(outcome));
    });
}

} // namespace tessaro
