#include "sync/tls_trust.h"

#include <QCryptographicHash>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSslCertificate>

namespace memro::sync {
namespace {

QByteArray Fingerprint(const QSslCertificate& certificate) {
  return certificate.digest(QCryptographicHash::Sha256).toHex();
}

QString WithColons(const QByteArray& hex) {
  QStringList pairs;
  for (qsizetype i = 0; i < hex.size(); i += 2) pairs << QString::fromLatin1(hex.mid(i, 2));
  return pairs.join(':').toUpper();
}

}  // namespace

QByteArray NormalFingerprint(const QString& text) {
  QString hex = text.toLower();
  hex.remove(':');
  static const QRegularExpression kSha256("^[0-9a-f]{64}$");
  return kSha256.match(hex).hasMatch() ? hex.toLatin1() : QByteArray();
}

QString PassTrusted(QNetworkReply& reply, const QList<QSslError>& errors,
                    const QByteArray& trusted) {
  QStringList reasons;
  bool allTrusted = !trusted.isEmpty();
  for (const QSslError& e : errors) {
    reasons << e.errorString();
    allTrusted = allTrusted && !e.certificate().isNull() && Fingerprint(e.certificate()) == trusted;
  }
  if (allTrusted) {
    reply.ignoreSslErrors(errors);
    return {};
  }
  const QSslCertificate peer = reply.sslConfiguration().peerCertificate();
  QString text = "the server's certificate is not trusted (" + reasons.join("; ") + ")";
  if (!peer.isNull()) {
    text += ". Its SHA-256 fingerprint is " + WithColons(Fingerprint(peer)) +
            "; when it is your own server's certificate, give that fingerprint at setup "
            "with --trust-fingerprint";
  }
  return text;
}

}  // namespace memro::sync
