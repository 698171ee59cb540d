#include "core/WebHook.h"

#include "LocalHttpServer.h"
#include "QtPrinters.h"
#include "RunToEnd.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::HttpAnswer;
using test::LocalHttpServer;

using Pairs = QList<QPair<QString, QString>>;

// Reads a body back the way a form receiver does.
Pairs decodeForm(const QByteArray& body)
{
    QByteArray spaced = body;
    spaced.replace('+', ' ');
    Pairs pairs;
    for (const QByteArray& pair : spaced.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        pairs.append({QString::fromUtf8(QByteArray::fromPercentEncoding(pair.left(equals))),
                      QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(equals + 1)))});
    }
    return pairs;
}

TEST(WebHookFormTest, LeavesOutPairsWithEmptyValues)
{
    EXPECT_EQ(WebHookFormPairs(QStringLiteral("s"), QStringLiteral("m"), QStringLiteral("OK"),
                               QStringLiteral("PC")),
              (Pairs{{QStringLiteral("subject"), QStringLiteral("s")},
                     {QStringLiteral("message"), QStringLiteral("m")},
                     {QStringLiteral("status"), QStringLiteral("OK")},
                     {QStringLiteral("computername"), QStringLiteral("PC")}}));
    EXPECT_EQ(WebHookFormPairs(QStringLiteral("s"), {}, QStringLiteral("ERROR"), {}),
              (Pairs{{QStringLiteral("subject"), QStringLiteral("s")},
                     {QStringLiteral("status"), QStringLiteral("ERROR")}}));
}

struct EncodingCase
{
    const char16_t* value;
    const char* encoded;
};

class FormEncodingTest : public ::testing::TestWithParam<EncodingCase>
{};

TEST_P(FormEncodingTest, EncodesOneValue)
{
    const QString value = QString::fromUtf16(GetParam().value);
    const Pairs pairs{{QStringLiteral("v"), value}};
    const QByteArray body = EncodeForm(pairs);
    EXPECT_EQ(body, QByteArray("v=") + GetParam().encoded);
    EXPECT_EQ(decodeForm(body), pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormEncodingTest,
    ::testing::Values(EncodingCase{u"AZaz09-._~", "AZaz09-._~"}, EncodingCase{u"a b  c", "a+b++c"},
                      EncodingCase{u"line 1\r\nline 2\r\n", "line+1%0D%0Aline+2%0D%0A"},
                      EncodingCase{u"a=b&c", "a%3Db%26c"}, EncodingCase{u"1+1%", "1%2B1%25"},
                      EncodingCase{u"[x]:/?#", "%5Bx%5D%3A%2F%3F%23"},
                      EncodingCase{u"\"'*", "%22%27%2A"},
                      EncodingCase{u"Grüße €", "Gr%C3%BC%C3%9Fe+%E2%82%AC"}));

TEST(WebHookFormTest, JoinsPairsWithoutTrailingSeparator)
{
    EXPECT_EQ(EncodeForm({}), QByteArray());
    EXPECT_EQ(EncodeForm(WebHookFormPairs(QStringLiteral("Tessaro notification: OK [OFFICE-PC]"),
                                          {}, QStringLiteral("OK"), QStringLiteral("OFFICE-PC"))),
              QByteArray("subject=Tessaro+notification%3A+OK+%5BOFFICE-PC%5D&status=OK&"
                         "computername=OFFICE-PC"));
}

// A server on 127.0.0.1 that answers the hook path as the test says. It runs
// in this thread: the call waits in a local event loop, which serves it.
class WebHookCallTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    void answerHook(int status, const char* reason)
    {
        server.setAnswer(QByteArrayLiteral("/hook"), {status, reason, {}, false});
    }

    WebHookResult post(const QString& url, const QString& message = {},
                       const QString& computerName = QStringLiteral("OFFICE-PC"))
    {
        return tessaro::test::postWebHookToEnd(
            url, QStringLiteral("Tessaro notification: OK [OFFICE-PC]"), message,
            QStringLiteral("OK"), computerName);
    }
    WebHookResult postToHook() { return post(server.url(QStringLiteral("/hook"))); }

    LocalHttpServer server;
};

TEST_F(WebHookCallTest, PostsTheFormToTheUrl)
{
    answerHook(200, "OK");

    const WebHookResult result = postToHook();

    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.errorText, QStringLiteral("OK"));
    ASSERT_EQ(server.requests().size(), 1);
    const test::HttpRequest& request = server.requests().constFirst();
    EXPECT_EQ(request.method, QByteArray("POST"));
    EXPECT_EQ(request.path, QByteArray("/hook"));
    EXPECT_EQ(request.header("Content-Type"),
              QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
    EXPECT_EQ(request.body, QByteArray("subject=Tessaro+notification%3A+OK+%5BOFFICE-PC%5D&"
                                       "status=OK&computername=OFFICE-PC"));
}

TEST_F(WebHookCallTest, SendsLogLinesAsOneMessageValue)
{
    answerHook(200, "OK");
    const QString message =
        QStringLiteral("27.03.2026 14:05:09 [I] a=b & c\r\n27.03.2026 14:05:10 [E] x&y=z\r\n");

    ASSERT_TRUE(post(server.url(QStringLiteral("/hook")), message, {}).success);

    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray& body = server.requests().constFirst().body;
    EXPECT_EQ(body, QByteArray("subject=Tessaro+notification%3A+OK+%5BOFFICE-PC%5D&message=27.03."
                               "2026+14%3A05%3A09+%5BI%5D+a%3Db+%26+c%0D%0A27.03.2026+14%3A05%"
                               "3A10+%5BE%5D+x%26y%3Dz%0D%0A&status=OK"));
    EXPECT_EQ(decodeForm(body), (Pairs{{QStringLiteral("subject"),
                                        QStringLiteral("Tessaro notification: OK [OFFICE-PC]")},
                                       {QStringLiteral("message"), message},
                                       {QStringLiteral("status"), QStringLiteral("OK")}}));
}

struct StatusCase
{
    int status;
    const char* reason;
    bool success;
};

class WebHookStatusTest : public WebHookCallTest, public ::testing::WithParamInterface<StatusCase>
{};

TEST_P(WebHookStatusTest, SucceedsOnlyOn200WithTheReasonPhraseAsText)
{
    answerHook(GetParam().status, GetParam().reason);

    const WebHookResult result = postToHook();

    EXPECT_EQ(result.success, GetParam().success);
    EXPECT_EQ(result.errorText, QString::fromLatin1(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(Codes, WebHookStatusTest,
                         ::testing::Values(StatusCase{200, "OK", true},
                                           StatusCase{201, "Created", false},
                                           StatusCase{204, "No Content", false},
                                           StatusCase{404, "Not Found", false},
                                           StatusCase{500, "Internal Server Error", false}));

TEST_F(WebHookCallTest, InterimResponsesBeforeTheAnswerAreSkipped)
{
    const struct
    {
        const char* name;
        QList<QByteArray> interim;
    } cases[] = {
        {"100 Continue", {"HTTP/1.1 100 Continue\r\n\r\n"}},
        {"several, with headers",
         {"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 102 Processing\r\nX-Step: 1\r\n\r\n",
          "HTTP/1.1 103 Early Hints\r\nLink: </style.css>; rel=preload\r\n\r\n"}},
        {"no reason phrase", {"HTTP/1.1 100\r\n\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::HttpAnswer answer{200, "OK", {}, false};
        answer.interim = c.interim;
        server.setAnswer(QByteArrayLiteral("/hook"), answer);

        const WebHookResult result = postToHook();

        EXPECT_TRUE(result.success);
        EXPECT_EQ(result.errorText, QStringLiteral("OK"));
    }
    // The answer after an interim response still counts as it is.
    test::HttpAnswer failing{500, "Internal Server Error", {}, false};
    failing.interim = {"HTTP/1.1 100 Continue\r\n\r\n"};
    server.setAnswer(QByteArrayLiteral("/hook"), failing);
    EXPECT_EQ(postToHook().errorText, QStringLiteral("Internal Server Error"));
}

TEST_F(WebHookCallTest, FollowsRedirects)
{
    server.setAnswer(
        QByteArrayLiteral("/hook"),
        {302, "Found", {{"Location", server.url(QStringLiteral("/moved")).toUtf8()}}, false});
    server.setAnswer(QByteArrayLiteral("/moved"), {200, "OK", {}, false});

    const WebHookResult result = postToHook();

    EXPECT_TRUE(result.success) << result.errorText.toStdString();
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests().at(1).path, QByteArray("/moved"));
}

TEST_F(WebHookCallTest, EndlessRedirectsFailWithTheClientsText)
{
    server.setAnswer(QByteArrayLiteral("/hook"),
                     {302, "Found", {{"Location", QByteArrayLiteral("/hook")}}, false});

    const WebHookResult result = postToHook();

    EXPECT_FALSE(result.success);
    EXPECT_NE(result.errorText, QStringLiteral("Found"));
    EXPECT_GT(server.requests().size(), 1);
}

// A server that redirects to itself is asked the original request and five
// redirects, no more, and the call then ends with the client's text.
TEST_F(WebHookCallTest, FollowsAtMostFiveRedirects)
{
    server.setAnswer(QByteArrayLiteral("/hook"),
                     {302, "Found", {{"Location", QByteArrayLiteral("/hook")}}, false});

    const WebHookResult result = postToHook();

    EXPECT_FALSE(result.success);
    EXPECT_EQ(server.requests().size(), 6);
    EXPECT_NE(result.errorText, QStringLiteral("Found"));
}

TEST_F(WebHookCallTest, FiveRedirectsStillReachTheReceiver)
{
    for (int hop = 0; hop < 5; ++hop) {
        const QString next = QStringLiteral("/hop%1").arg(hop + 1);
        server.setAnswer(hop == 0 ? QByteArrayLiteral("/hook") : "/hop" + QByteArray::number(hop),
                         {307, "Temporary Redirect", {{"Location", next.toUtf8()}}, false});
    }
    server.setAnswer(QByteArrayLiteral("/hop5"), {200, "OK", {}, false});

    const WebHookResult result = postToHook();

    EXPECT_TRUE(result.success) << result.errorText.toStdString();
    EXPECT_EQ(server.requests().size(), 6);
}

// The body is never read: a response whose body never ends is judged by its
// status line as soon as the headers are in, and the client stops taking
// the body, so only what the sockets buffer was ever sent.
TEST_F(WebHookCallTest, EndlessBodyEndsTheCallOnceTheHeadersAreIn)
{
    HttpAnswer endless{200, "OK", {}, false};
    endless.endlessBody = true;
    server.setAnswer(QByteArrayLiteral("/hook"), endless);

    const WebHookResult result = postToHook();

    EXPECT_TRUE(result.success) << result.errorText.toStdString();
    EXPECT_EQ(result.errorText, QStringLiteral("OK"));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_LT(server.streamedBytes(), 64LL * 1024 * 1024);
}

// A header that never ends gives no status to judge by: the call stops
// reading at the size limit of a response head and fails, with only what
// the sockets buffer ever sent.
TEST_F(WebHookCallTest, EndlessHeaderFailsAtTheHeadSizeLimit)
{
    HttpAnswer endless{200, "OK", {}, false};
    endless.endlessHeader = true;
    server.setAnswer(QByteArrayLiteral("/hook"), endless);

    const WebHookResult result = postToHook();

    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.errorText, QStringLiteral("the response headers exceed 65536 bytes"));
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_LT(server.streamedBytes(), 64LL * 1024 * 1024);
}

TEST_F(WebHookCallTest, RefusedConnectionFailsWithTheClientsText)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();

    const WebHookResult result = post(QStringLiteral("http://127.0.0.1:%1/hook").arg(port));

    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.errorText, QStringLiteral("Connection refused"));
}

TEST_F(WebHookCallTest, ServerThatNeverAnswersFails)
{
    server.setAnswer(QByteArrayLiteral("/hook"), {200, "OK", {}, true});

    const WebHookResult result = postToHook();

    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.errorText, QStringLiteral("no response within 2000 ms"));
    EXPECT_EQ(server.requests().size(), 1);
}

class WebHookSchemeTest : public WebHookCallTest, public ::testing::WithParamInterface<const char*>
{};

// Only web addresses are sent; anything else fails before any connection.
TEST_P(WebHookSchemeTest, RefusesOtherSchemes)
{
    QString url = QString::fromLatin1(GetParam());
    if (url.contains(QLatin1String("%1")))
        url = url.arg(server.url(QStringLiteral("/hook")).mid(int(sizeof("http://")) - 1));

    const WebHookResult result = post(url);

    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.errorText.endsWith(QStringLiteral(" (only http and https are allowed)")))
        << result.errorText.toStdString();
    EXPECT_EQ(server.connectionCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Urls, WebHookSchemeTest,
                         ::testing::Values("ftp://%1", "gopher://%1", "file:///tmp/hook",
                                           "localhost:1/hook", "%1", ""));

TEST_F(WebHookCallTest, NamesTheRefusedScheme)
{
    EXPECT_EQ(post(QStringLiteral("ftp://127.0.0.1/hook")).errorText,
              QStringLiteral("unsupported URL scheme: ftp (only http and https are allowed)"));
    EXPECT_EQ(post(QStringLiteral("127.0.0.1/hook")).errorText,
              QStringLiteral("missing URL scheme (only http and https are allowed)"));
}

TEST_F(WebHookCallTest, MalformedUrlFailsAtOnce)
{
    const WebHookResult result = post(QStringLiteral("http://[::1/hook"));

    EXPECT_FALSE(result.success);
    EXPECT_TRUE(result.errorText.startsWith(QStringLiteral("invalid URL: ")))
        << result.errorText.toStdString();
}

} // namespace
} // namespace tessaro
