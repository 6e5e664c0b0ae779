#include "support/VsftpdServer.h"

#include "support/TestData.h"

#include <QDir>
#include <QFile>

bool VsftpdServer::start() {
    const QString root = rootPath();
    const QString empty = folder_.filePath(QStringLiteral("empty"));
    if (!folder_.isValid() || !QDir().mkpath(root + QStringLiteral("/pub")) || !QDir().mkpath(empty)) return false;
    // vsftpd refuses a writable root for anonymous logins; "pub" takes the uploads.
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(root + QStringLiteral("/pub"), QFileDevice::Permissions(0x7777));
    const QString config = folder_.filePath(QStringLiteral("vsftpd.conf"));
    const QString log = folder_.filePath(QStringLiteral("vsftpd.log"));
    return daemon_.start(
        QStringLiteral("/usr/sbin/vsftpd"),
        [=](quint16 port) {
            const QByteArray text = "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" + QByteArray::number(port) +
                                    "\nbackground=NO\nrun_as_launching_user=YES\nanonymous_enable=YES\n"
                                    "local_enable=NO\nanon_root=" + root.toUtf8() +
                                    "\nno_anon_password=YES\nwrite_enable=YES\nanon_upload_enable=YES\n"
                                    "anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\nanon_umask=022\n"
                                    "ascii_upload_enable=YES\nascii_download_enable=YES\nseccomp_sandbox=NO\n"
                                    "pasv_enable=YES\npasv_address=127.0.0.1\nport_enable=YES\n"
                                    "connect_from_port_20=NO\nxferlog_enable=NO\nsyslog_enable=NO\n"
                                    "vsftpd_log_file=" + log.toUtf8() +
                                    "\nuse_localtime=YES\ncheck_shell=NO\nsecure_chroot_dir=" + empty.toUtf8() + "\n";
            writeWholeFile(config, text);
            return QStringList{config};
        },
        log);
}
