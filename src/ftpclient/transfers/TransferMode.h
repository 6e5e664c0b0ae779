#pragma once

#include <QString>
#include <QStringList>

class FtpComponent;

// The transfer type group fraTransfer ("Auto", "ASCII", "Binary") and the
// ASCII extension list of the automatic choice ("Auto Mode Types").
//
// In Auto mode every file of every transfer, single or in folders, up or down
// and in synchronisation, goes as ASCII when its extension is in the list and
// as binary otherwise: the component makes that choice per file. Leaving the
// choice to "whatever was last set" would send a .zip fetched after a .txt was
// sent as ASCII, and turning its CR LF into LF corrupts it.
class TransferMode {
public:
    enum Option { Auto, Ascii, Binary };

    explicit TransferMode(FtpComponent& ftp);

    // The list ("Auto Mode Types": extensions without dots); takes effect at once.
    void setAsciiExtensions(const QStringList& extensions);
    const QStringList& asciiExtensions() const { return extensions_; }

    // optAuto, optAscii or optBinary chosen. "ASCII" sets the representation
    // to 1, "Binary" to 0, both leave Auto mode; "Auto" leaves the
    // representation alone.
    void choose(Option option);
    Option option() const { return option_; }
    bool autoMode() const { return option_ == Auto; }

private:
    void apply();

    FtpComponent& ftp_;
    QStringList extensions_;
    Option option_ = Auto;
};
