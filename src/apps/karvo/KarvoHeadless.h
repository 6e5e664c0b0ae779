#pragma once

#include "apps/karvo/KarvoRequest.h"

#include <QObject>

class FtpComponent;

// Runs one headless karvo command on the FTP component: connects, does the
// work, disconnects. --list prints one line per entry to stdout:
//
//   d 0 2024-03-05T14:07 name          (type d, - or l; size; local time; name)
//
// Failures print "karvo: " and the reason (the server's reply line or the local
// error) to stderr. While stderr is a terminal a progress line is kept there.
// Returns the exit code: 0 done, 1 failed.
class KarvoHeadless : public QObject {
    Q_OBJECT
public:
    explicit KarvoHeadless(KarvoRequest request) : request_(std::move(request)) {}

    int run();

private:
    void configure(FtpComponent& ftp);
    void watch(FtpComponent& ftp);
    int perform(FtpComponent& ftp);
    int list(FtpComponent& ftp);
    int get(FtpComponent& ftp);
    int put(FtpComponent& ftp);
    int mirror(FtpComponent& ftp);
    int mirrorUp(FtpComponent& ftp);
    int failed(const QString& reason);
    void endProgressLine();

    KarvoRequest request_;
    bool terminal_ = false;
    bool progressShown_ = false;
};
