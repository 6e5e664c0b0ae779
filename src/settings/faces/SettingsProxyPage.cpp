#include "settings/faces/SettingsProxyPage.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

SettingsProxyPage::SettingsProxyPage(frmSettings& logic, QWidget* parent)
    : SettingsPage(logic, parent) {
    frmSettings& s = logic;
    auto* frameProxy = new QGroupBox(QStringLiteral("Proxy Settings"));
    follow(frameProxy, s.frameProxy);
    auto* server = new QHBoxLayout;
    server->addWidget(lineEdit(s.txtProxyServer), 1);
    server->addWidget(new QLabel(QStringLiteral("Port:")));
    QLineEdit* port = lineEdit(s.txtProxyPort);
    port->setMaximumWidth(80);
    server->addWidget(port);
    QLineEdit* password = lineEdit(s.txtPass);
    password->setEchoMode(QLineEdit::Password);
    auto* proxyLayout = new QFormLayout(frameProxy);
    proxyLayout->addRow(QStringLiteral("Server:"), server);
    proxyLayout->addRow(checkBox(QStringLiteral("Use HTTP Proxy For FTP Addresses"), s.chkFTPProxy));
    proxyLayout->addRow(checkBox(QStringLiteral("Login to HTTP proxy server"), s.chkLogProx));
    proxyLayout->addRow(QStringLiteral("User name:"), lineEdit(s.txtUserID));
    proxyLayout->addRow(QStringLiteral("Password:"), password);
    proxyLayout->addRow(checkBox(QStringLiteral("Send the password with the user name"), s.chkPass));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(checkBox(QStringLiteral("Use Proxy Server"), s.chkUseProxy));
    layout->addWidget(frameProxy);
    layout->addStretch();
}
