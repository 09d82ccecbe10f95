#pragma once

#include "data/calendar.h"
#include "engine/due_entries.h"
#include "platform/platform.h"

namespace memro {

// The desktop notification of a due list: the program and the number of due events as
// its summary; the first few entries, each as its list line, status phrase and the start
// of its message, as its body. An empty list gives an empty notification (not sent).
Notification DueNotification(const DueEntries& entries, const Date& today, bool rangeOn);

}  // namespace memro
