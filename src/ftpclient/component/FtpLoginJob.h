#pragma once

#include "ftpclient/component/FtpJob.h"

#include <QString>
#include <functional>

// Connects and logs in: greeting, USER, PASS, ACCT when the server wants an
// account, then FEAT to learn what the server offers and OPTS UTF8 when it
// offers that. A refused password may be answered again up to three times;
// an empty answer to either question ends the login as failed.
class FtpLoginJob : public FtpJob {
    Q_OBJECT
public:
    // Asked for an account, or for the right password; false or an empty
    // answer gives up.
    using Question = std::function<bool(QString& answer)>;

    FtpLoginJob(FtpSession& session, QString user, QString password, Question account,
                Question wrongPassword);

    void start() override;

protected:
    void onReply(const FtpReply& reply) override;

private:
    enum class Step { Greeting, User, Pass, Acct, Feat, Utf8 };

    void sendPassword();
    void askAccount();
    void afterLogin();

    Step step_ = Step::Greeting;
    QString user_;
    QString password_;
    Question account_;
    Question wrongPassword_;
    int passwordTries_ = 0;
};
