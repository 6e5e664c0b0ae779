#pragma once

#include <QByteArray>

// Writes every byte to the descriptor, going on after short writes and signals.
// Returns false on the first real error; errno tells which.
bool WriteAll(int fd, const QByteArray& bytes);
