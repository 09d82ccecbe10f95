#include "sync/dav_client.h"

#include <QBuffer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <thread>

#include "sync/tls_trust.h"

namespace memro::sync {
namespace {

constexpr int kMaxRedirects = 5;
constexpr int kMaxRetries = 3;
constexpr std::chrono::seconds kLongestWait{60};
constexpr int kTimeoutMs = 60000;

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::chrono::seconds RetryDelay(const QByteArray& header) {
  bool number = false;
  const int seconds = header.trimmed().toInt(&number);
  // An HTTP date instead of seconds: a short wait does as well.
  const std::chrono::seconds wait{number && seconds >= 0 ? seconds : 5};
  return std::min(wait, kLongestWait);
}

}  // namespace

DavClient::DavClient(const QString& user, const QString& password, Sleep sleep)
    : sleep_(sleep ? std::move(sleep)
                   : [](std::chrono::seconds s) { std::this_thread::sleep_for(s); }) {
  if (!user.isEmpty()) {
    authorization_ = "Basic " + (user + ":" + password).toUtf8().toBase64();
  }
}

DavReply DavClient::Send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                         const Headers& headers) {
  QUrl target = url;
  for (int redirects = 0, retries = 0;;) {
    QByteArray retryAfter;
    QUrl location;
    DavReply reply = SendOnce(verb, target, body, headers, retryAfter, location);
    if (IsRedirect(reply.status) && location.isValid() && redirects++ < kMaxRedirects) {
      const QUrl next = target.resolved(location);
      if (target.scheme() == "https" && next.scheme() != "https") {
        throw DavError("the server at " + target.toString().toStdString() + " sends Memro on to " +
                       next.toString().toStdString() +
                       " without encryption, which Memro does not follow");
      }
      target = next;
      continue;
    }
    if ((reply.status == 429 || reply.status == 503) && retries++ < kMaxRetries) {
      sleep_(RetryDelay(retryAfter));
      continue;
    }
    reply.url = target;
    return reply;
  }
}

DavReply DavClient::SendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                             const Headers& headers, QByteArray& retryAfter, QUrl& location) {
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  if (!authorization_.isEmpty()) request.setRawHeader("Authorization", authorization_);
  for (const auto& [name, value] : headers) request.setRawHeader(name, value);
  QBuffer data;
  data.setData(body);
  data.open(QIODevice::ReadOnly);
  QNetworkReply* reply = manager_.sendCustomRequest(request, verb, &data);
  QString untrusted;
  QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
    untrusted = PassTrusted(*reply, errors, trusted_);
  });
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(kTimeoutMs, reply, &QNetworkReply::abort);
  if (!reply->isFinished()) loop.exec();
  DavReply out;
  out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QString error = reply->errorString();
  if (out.status == 0) {
    reply->deleteLater();
    throw DavError("cannot reach " + url.adjusted(QUrl::RemoveUserInfo).toString().toStdString() +
                   ": " + (untrusted.isEmpty() ? error : untrusted).toStdString());
  }
  out.body = reply->readAll();
  out.etag = reply->rawHeader("ETag");
  retryAfter = reply->rawHeader("Retry-After");
  location = QUrl(QString::fromUtf8(reply->rawHeader("Location")));
  reply->deleteLater();
  return out;
}

}  // namespace memro::sync
