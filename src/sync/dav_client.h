#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

namespace memro::sync {

// The server could not be asked or refused the whole sync: the message says what
// happened and what the user can do.
class DavError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DavReply {
  int status = 0;
  QByteArray body;
  QByteArray etag;  // as the server gave it
  QUrl url;         // where the answer came from, after redirects
};

using Headers = QList<QPair<QByteArray, QByteArray>>;

// WebDAV requests over Qt Network, one at a time and waited for: the command-line tool
// has no other work meanwhile. Redirects are followed here, so that a PROPFIND stays a
// PROPFIND (Qt would turn it into a GET), never from https to http; a server that is
// busy (429, 503) is asked again after the time it names.
class DavClient {
 public:
  using Sleep = std::function<void(std::chrono::seconds)>;
  DavClient(const QString& user, const QString& password, Sleep sleep = {});

  // Any answer with a status comes back; only a failure to reach the server throws.
  DavReply Send(const QByteArray& verb, const QUrl& url, const QByteArray& body = {},
                const Headers& headers = {});

  // A server the system's certificates do not vouch for is still taken when its
  // certificate has this SHA-256 fingerprint (NormalFingerprint's form): a self-signed
  // one the user named at setup.
  void TrustCertificate(const QByteArray& fingerprint) { trusted_ = fingerprint; }

 private:
  DavReply SendOnce(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                    const Headers& headers, QByteArray& retryAfter, QUrl& location);

  QNetworkAccessManager manager_;
  QByteArray authorization_;
  QByteArray trusted_;
  Sleep sleep_;
};

}  // namespace memro::sync
