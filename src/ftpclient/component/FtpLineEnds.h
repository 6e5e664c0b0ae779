#pragma once

#include <QByteArray>

// ASCII representation on a Unix disk: lines end in CR LF on the wire and in LF
// on disk. Data arrives in pieces, so a CR at the end of one piece waits for the
// next to see whether an LF follows.
//
// ToLocal turns every CR LF into LF (a lone CR stays). ToNetwork turns every LF
// that has no CR before it into CR LF, so a file that already has CR LF is not
// doubled.
class FtpLineEnds {
public:
    enum class Direction { ToLocal, ToNetwork };

    explicit FtpLineEnds(Direction direction) : direction_(direction) {}

    QByteArray convert(const QByteArray& bytes);
    // What is still held back at the end of the data.
    QByteArray finish();

private:
    Direction direction_;
    bool heldCr_ = false;   // ToLocal: a CR waits for the next byte
    bool lastWasCr_ = false;  // ToNetwork: the byte before this piece was CR
};
