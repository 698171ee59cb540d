#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace tessaro {

struct WebHookResult
{
    bool success = false;
    QString errorText;
};

// The form pairs in order, pairs with an empty value left out.
QList<QPair<QString, QString>> WebHookFormPairs(const QString& subject, const QString& message,
                                                const QString& status, const QString& computerName);
// The pairs encoded as an application/x-www-form-urlencoded body.
QByteArray EncodeForm(const QList<QPair<QString, QString>>& pairs);

// Posts the outcome of a pass to the URL and returns; done gets the answer
// from the event loop, at most about 2 s to connect and 2 s for the request
// and the response later, up to 5 redirects included. Only the status line
// and the headers are read, never the body. Success exactly on status 200;
// the error text is the reason phrase or the client's message. Only http
// and https URLs are sent: any other is refused before done returns.
void PostWebHook(const QString& url, const QString& subject, const QString& message,
                 const QString& status, const QString& computerName,
                 std::function<void(const WebHookResult& result)> done);

} // namespace tessaro
