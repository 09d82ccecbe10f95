#pragma once

#include <QByteArray>
#include <QList>
#include <QSslError>
#include <QString>

class QNetworkReply;

namespace memro::sync {

// "ab12..." (64 hex digits) from a SHA-256 fingerprint as tools print it, with or
// without colons, in either case; empty when it is no such fingerprint.
QByteArray NormalFingerprint(const QString& text);

// Lets the reply go on past errors that all concern one certificate, the one whose
// fingerprint (NormalFingerprint's form) the user trusted; any other error stops it.
// Returns what stopped it, naming the server's certificate fingerprint so that the user
// can check it; empty when the errors were let pass.
QString PassTrusted(QNetworkReply& reply, const QList<QSslError>& errors,
                    const QByteArray& trusted);

}  // namespace memro::sync
