// Progress display, rate, time-outs with retry, and the stall rule of the
// download window.
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/frmDownload.h"

#include <cmath>

void frmDownload::Update(int i) {
    Received = ReceivedBytes();
    if (!LengthKnown || ContentLength <= 0) return;
    const int percent = percentage();
    const int bar = IsFTP ? percent
                          : static_cast<int>(static_cast<double>(SegNext[i]) /
                                             static_cast<double>(SegStart[i + 1]) * 100.0);
    // Texts only change with the whole percentage; most blocks change nothing.
    if (percent == lastPercent_ && PVProgressBar[i].Value == bar) return;
    lastPercent_ = percent;
    ProgressBar1.Value = percent;
    Caption = displayName() + QStringLiteral(" [") + QString::number(percent) + QStringLiteral("%]");
    lblPer = QString::number(percent) + QLatin1Char('%');
    PVProgressBar[i].Value = qBound(0, bar, PVProgressBar[i].Max);
    setRowSubItem(2, QString::number(ProgressBar1.Value) + QLatin1Char('%'));
    emit changed();
}

void frmDownload::tmrUpdate_Timer() {
    Received = ReceivedBytes();
    if (!LengthKnown || Received < ContentLength) {
        lblRecievedSize = FormatSize(Received);
        ElapsedSeconds += 0.5;
        lblElapsedTime = FormatSeconds(std::floor(ElapsedSeconds));
        setRowSubItem(4, lblRecievedSize);
        saveProgress(false);
        emit changed();
    } else {
        Completion();
    }
}

void frmDownload::tmrUpdate2_Timer() {
    Received = ReceivedBytes();
    if (LengthKnown && Received >= ContentLength) return;
    lblRecievedSize = FormatSize(Received);
    // The growth since the last 2.5-second tick, halved: the figure users know.
    // After a rollback the count has shrunk; that is no speed below zero.
    const double rate = qMax(0.0, static_cast<double>(Received - LastReceived) / 2.0);
    lblTransferRate = FormatSize(rate) + QStringLiteral(" /Second");
    if (rate != 0) Rate = rate;
    if (LengthKnown) {
        const double perTick = static_cast<double>(Received + 1 - LastReceived);
        const double left =
            perTick > 0 ? qMax(0.0, static_cast<double>(ContentLength - Received - 1) / perTick) : 0;
        lblTimeRemaining = FormatSeconds(left);
    }
    LastReceived = Received;
    emit changed();
    emit rateTick();
}

void frmDownload::tmrTimeOut_Timer() {
    TimeoutTicks -= 1;
    lblTimer = QStringLiteral("Timeout: ") + QString::number(TimeoutTicks) + QStringLiteral(" sec.");
    if (TimeoutTicks < 1) {
        // A connection that failed says why in the socket's words; only a silent
        // server has timed out.
        const QString text =
            lastConnectError_.isEmpty() ? QStringLiteral("Connection has timed out.") : lastConnectError_;
        lblStatus = text;
        setRowStatus(text);
        if (Settings.Retry && RetryCount <= Settings.Retries) {
            RetryCount += 1;
            CloseAllSockets();
            TimeoutTicks = Settings.Timeout;
            StartDownload();
        } else {
            CloseAllSockets();
            WSHead.close(0);
            TimeoutTicks = Settings.Timeout;
            tmrTimeOut.stop();
            enterFailed(text);
            return;
        }
    }
    emit changed();
}

void frmDownload::tmrReconnect_Timer() {
    // The stall rule pauses and resumes a running download, nothing else.
    if (outcome_ != Outcome::Running || ended_) {
        tmrReconnect.setEnabled(false);
        return;
    }
    Received = ReceivedBytes();
    if (Received == LastReceived) cmdPause_Click();
}
