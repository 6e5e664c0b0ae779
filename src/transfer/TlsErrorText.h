#pragma once

#include <QString>
#include <vector>

// The status of a download whose server's certificate was refused, naming the
// reasons in words a user can act on: "expired", "wrong host", "unknown issuer".
//   "TLS certificate of example.org refused: expired."
// The errors are OpenSSL's certificate verification results (X509_V_ERR_…), in
// the order the check met them.
QString CertificateRefusedText(const QString& host, const std::vector<int>& errors);

// The short reason of one certificate verification result ("expired", "wrong host" ...).
QString CertificateErrorReason(int error);
