#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace memro::sync {

// One <response> of a WebDAV multistatus, with the properties the server found.
struct DavResponse {
  QString href;                  // as the server wrote it
  int status = 0;                // the response's own status; 0 when it has properties instead
  QMap<QString, QString> props;  // by local name: the text, or the href inside it
  QStringList resourceTypes;     // local names, e.g. "collection", "calendar"
  QStringList components;        // of supported-calendar-component-set, e.g. "VEVENT"
};

struct Multistatus {
  std::vector<DavResponse> responses;
  QString syncToken;
};

// Takes only the properties of a propstat with a 2xx status.
Multistatus ParseMultistatus(const QByteArray& xml);

}  // namespace memro::sync
