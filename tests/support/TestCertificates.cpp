#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>

namespace {

constexpr int kOpensslTimeoutMs = 30000;

QByteArray extensionsFor(const QString& host) {
    const bool address = host.front().isDigit();
    return "basicConstraints=CA:FALSE\n"
           "keyUsage=critical,digitalSignature,keyEncipherment\n"
           "extendedKeyUsage=serverAuth\n"
           "subjectAltName=DNS:" +
           host.toLatin1() + (address ? ",IP:" + host.toLatin1() : QByteArray()) + "\n";
}

}  // namespace

bool TestCertificates::run(const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(dir_.path());
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(kOpensslTimeoutMs) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        openssl.kill();
        error_ = QStringLiteral("openssl %1 failed: %2 %3")
                     .arg(arguments.join(u' '), openssl.errorString(),
                          QString::fromLocal8Bit(openssl.readAll()));
        return false;
    }
    return true;
}

bool TestCertificates::writeFile(const QString& name, const QByteArray& text) {
    QFile out(file(name));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text) == text.size()) return true;
    error_ = QStringLiteral("cannot write %1").arg(out.fileName());
    return false;
}

bool TestCertificates::makeAuthority(const QString& name, const QString& commonName) {
    return run({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
                name + QStringLiteral(".pem"), QStringLiteral("-days"), QStringLiteral("3"), QStringLiteral("-subj"),
                QStringLiteral("/CN=") + commonName, QStringLiteral("-addext"),
                QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
}

bool TestCertificates::makeServer(const QString& name, const QString& authority, const QString& host) {
    return writeFile(name + QStringLiteral(".ext"), extensionsFor(host)) &&
           run({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
                name + QStringLiteral(".csr"), QStringLiteral("-subj"), QStringLiteral("/CN=") + host}) &&
           run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), name + QStringLiteral(".csr"),
                QStringLiteral("-CA"), authority + QStringLiteral(".pem"), QStringLiteral("-CAkey"),
                authority + QStringLiteral(".key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                name + QStringLiteral(".pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"),
                name + QStringLiteral(".ext")});
}

// `openssl x509` cannot date a certificate back; `openssl ca` can.
bool TestCertificates::makeExpired() {
    const QByteArray config =
        "[ca]\ndefault_ca = test\n"
        "[test]\ndatabase = index.txt\nnew_certs_dir = .\nserial = serial\ndefault_md = sha256\n"
        "policy = anything\nunique_subject = no\n"
        "[anything]\ncommonName = supplied\n";
    return writeFile(QStringLiteral("ca.cnf"), config) && writeFile(QStringLiteral("index.txt"), "") &&
           writeFile(QStringLiteral("serial"), "1000\n") &&
           writeFile(QStringLiteral("expired.ext"), extensionsFor(QStringLiteral("127.0.0.1"))) &&
           run({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-keyout"), QStringLiteral("expired.key"), QStringLiteral("-out"),
                QStringLiteral("expired.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}) &&
           run({QStringLiteral("ca"), QStringLiteral("-batch"), QStringLiteral("-notext"), QStringLiteral("-config"),
                QStringLiteral("ca.cnf"), QStringLiteral("-cert"), QStringLiteral("ca.pem"), QStringLiteral("-keyfile"),
                QStringLiteral("ca.key"), QStringLiteral("-startdate"), QStringLiteral("20200101000000Z"),
                QStringLiteral("-enddate"), QStringLiteral("20200131000000Z"), QStringLiteral("-extfile"),
                QStringLiteral("expired.ext"), QStringLiteral("-in"), QStringLiteral("expired.csr"),
                QStringLiteral("-out"), QStringLiteral("expired.pem")});
}

bool TestCertificates::make() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder for the certificates");
        return false;
    }
    return makeAuthority(QStringLiteral("ca"), QStringLiteral("Lumet Test Authority")) &&
           makeAuthority(QStringLiteral("stranger"), QStringLiteral("Nobody's Authority")) &&
           makeServer(QStringLiteral("server"), QStringLiteral("ca"), QStringLiteral("127.0.0.1")) &&
           makeServer(QStringLiteral("wronghost"), QStringLiteral("ca"), QStringLiteral("other.example")) &&
           makeServer(QStringLiteral("stranger-signed"), QStringLiteral("stranger"), QStringLiteral("127.0.0.1")) &&
           makeExpired();
}
