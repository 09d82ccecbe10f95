#pragma once

#include "data/calendar.h"
#include "engine/due_entries.h"
#include "platform/platform.h"

namespace memro {

// The desktop notification of a due list: the program and the number of due events as
// its summary; the first few entries as its body, grouped under the day they speak of
// ("Today:", "Tomorrow:", "In 3 days:"), each as the start of its message. An empty list
// gives an empty notification (not sent).
Notification DueNotification(const DueEntries& entries, const Date& today, bool rangeOn);

}  // namespace memro
