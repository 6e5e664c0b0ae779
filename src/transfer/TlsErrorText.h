#pragma once

#include <QList>
#include <QSslError>
#include <QString>

// The status of a download whose server's certificate was refused, naming the
// reasons in words a user can act on: "expired", "wrong host", "unknown issuer".
//   "TLS certificate of example.org refused: expired."
QString CertificateRefusedText(const QString& host, const QList<QSslError>& errors);

// The short reason of one certificate error ("expired", "wrong host" ...).
QString CertificateErrorReason(const QSslError& error);
