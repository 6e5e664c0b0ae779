#include "ftpclient/component/FtpLoginJob.h"

#include "ftpclient/component/FtpSession.h"

namespace {

constexpr int kMaxPasswordTries = 3;

}  // namespace

FtpLoginJob::FtpLoginJob(FtpSession& session, QString user, QString password, Question account,
                         Question wrongPassword)
    : FtpJob(session),
      user_(std::move(user)),
      password_(std::move(password)),
      account_(std::move(account)),
      wrongPassword_(std::move(wrongPassword)) {}

void FtpLoginJob::start() {
    FtpControlConnection& control = session_.control();
    connect(&control, &FtpControlConnection::opened, this, [this] { session_.touch(); });
    control.open(session_.serverHost, session_.serverPort, session_.proxy);
}

void FtpLoginJob::onReply(const FtpReply& reply) {
    if (reply.isPreliminary()) return;  // "120 ready in a minute": wait on
    switch (step_) {
    case Step::Greeting:
        if (reply.code != 220) return refuse(reply);
        step_ = Step::User;
        send("USER " + user_.toUtf8());
        return;
    case Step::User:
        if (reply.code == 230) return afterLogin();
        if (reply.code == 331) return sendPassword();
        if (reply.code == 332) return askAccount();
        return refuse(reply);
    case Step::Pass:
        if (reply.code == 230 || reply.code == 202) return afterLogin();
        if (reply.code == 332) return askAccount();
        if (reply.code == 530 && wrongPassword_ && ++passwordTries_ < kMaxPasswordTries) {
            QString answer;
            if (wrongPassword_(answer) && !answer.isEmpty()) {
                // The server wants the login from its start after a refused password.
                password_ = answer;
                step_ = Step::User;
                send("USER " + user_.toUtf8());
                return;
            }
        }
        return fail(FtpErrors::make(FtpErrors::kLoginRefused, reply.lastLine()));
    case Step::Acct:
        if (reply.code == 230 || reply.code == 202) return afterLogin();
        return fail(FtpErrors::make(FtpErrors::kLoginRefused, reply.lastLine()));
    case Step::Feat: {
        // 500/502: a server without FEAT offers nothing beyond the basics.
        if (reply.isPositive()) {
            session_.offersMlsd = false;
            bool utf8 = false;
            for (const QByteArray& line : reply.raw.split('\n')) {
                const QByteArray feature = line.trimmed().toUpper();
                if (feature.startsWith("MLST")) session_.offersMlsd = true;
                if (feature == "UTF8") utf8 = true;
            }
            if (utf8) {
                step_ = Step::Utf8;
                send("OPTS UTF8 ON");
                return;
            }
        }
        return succeed();
    }
    case Step::Utf8:
        return succeed();
    }
}

void FtpLoginJob::sendPassword() {
    step_ = Step::Pass;
    send("PASS " + password_.toUtf8());
}

void FtpLoginJob::askAccount() {
    QString answer;
    if (!account_ || !account_(answer) || answer.isEmpty()) {
        return fail(FtpErrors::make(FtpErrors::kLoginRefused,
                                    QStringLiteral("The server needs an account, and none was given.")));
    }
    step_ = Step::Acct;
    send("ACCT " + answer.toUtf8());
}

void FtpLoginJob::afterLogin() {
    step_ = Step::Feat;
    send("FEAT");
}
