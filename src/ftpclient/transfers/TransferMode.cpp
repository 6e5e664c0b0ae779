#include "ftpclient/transfers/TransferMode.h"

#include "ftpclient/component/FtpComponent.h"


TransferMode::TransferMode(FtpComponent& ftp) : ftp_(ftp) {
    apply();
}

void TransferMode::setAsciiExtensions(const QStringList& extensions) {
    extensions_ = extensions;
    apply();
}

void TransferMode::choose(Option option) {
    option_ = option;
    if (option == Ascii) ftp_.representation = 1;
    if (option == Binary) ftp_.representation = 0;
    apply();
}

void TransferMode::apply() {
    if (!autoMode()) {
        ftp_.autoAsciiExtensions.clear();
        return;
    }
    // An empty entry would make every file without an extension ASCII.
    QStringList list;
    for (const QString& extension : extensions_)
        if (!extension.isEmpty()) list << extension;
    ftp_.autoAsciiExtensions = list;
    // With no entry at all the component falls back on the representation:
    // every file is binary then, as the choice by extension would have it.
    if (list.isEmpty()) ftp_.representation = 0;
}
