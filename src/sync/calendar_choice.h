#pragma once

#include <QString>
#include <QUrl>
#include <ostream>

#include "sync/dav_client.h"

namespace memro::sync {

// The calendar a setup names: start itself when it is one; else the user's calendar of
// that display name, made when there is none; else the only one that holds events (one
// named "Memro" is made when there is none). Several and no name: DavError listing them.
QUrl ChooseCalendar(DavClient& client, const QUrl& start, const QString& name, std::ostream& out);

}  // namespace memro::sync
