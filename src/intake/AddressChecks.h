#pragma once

#include "core/MonitorLists.h"

#include <QString>

class ReportList;

// The tests the add-address flow makes on an address before it is started or
// queued; the list matchers themselves are in core/MonitorLists.

// A name that is only dots, holds a separator or NUL, or is longer than the file
// system allows would not stay a plain entry of the folder it is joined to.
bool IsUnsafeFolderEntry(const QString& name);

// True when at most the per-server limit of rows of the Downloads list are active
// for the address's server, so one more may start.
bool IsLimitOk(const QString& address, const ReportList& downloads);

// True unless GetServerName of the address matches an entry of "MonitorServer".
bool IsServerPermitted(const QString& address);
// True when "." and the address's extension match an entry of "MonitorTypes".
bool IsExtPermitted(const QString& address);
