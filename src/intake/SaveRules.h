#pragma once

#include <QDate>
#include <QString>

class QueueOperations;

// Where a new download is saved: the four save modes of the settings, the
// file-type rules and the composition of the target path.

// The folder, one separator (none added when the folder ends in one) and the name.
QString JoinPath(const QString& folder, const QString& name);

// The parent folder of LastDir; the user's download folder while LastDir names
// no folder, so that a file never lands in the root or the program's own folder.
QString LastFolder();
// JoinPath(LastFolder(), GetFileName(address)).
QString LastFolderTarget(const QString& address);

// The folder of the file-type rule for the extension of name's last path
// component: the first rule with exactly that extension, else the last rule;
// LastFolder() when there are no rules.
QString GetPathFromList(const QString& name);

// The date sub-folder name: day-month-year without leading zeros ("6-12-2026").
QString DateFolderName(const QDate& date);

// Starts the address with AddDownload in the folder the save mode chooses, or
// queues it with AddLaterDownload when the mode cannot place it.
void ChooseTarget(const QString& address, QueueOperations& queue,
                  const QDate& today = QDate::currentDate());
