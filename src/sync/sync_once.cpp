#include "sync/sync_once.h"

#include <sstream>

#include "sync/calendar_choice.h"
#include "sync/sync_run.h"

namespace memro::sync {
namespace {

// The sync's messages are written for the command line; a window shows them bare.
std::string WithoutProgramName(const std::string& text) {
  static const std::string kPrefix = "memro-cli: ";
  std::istringstream lines(text);
  std::string result;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(kPrefix)) line.erase(0, kPrefix.size());
    result += line + "\n";
  }
  return result;
}

std::filesystem::file_time_type Stamp(const std::filesystem::path& file) {
  std::error_code error;
  return std::filesystem::last_write_time(file, error);
}

}  // namespace

std::optional<std::string> SetUpCalendar(DavClient& client, const std::filesystem::path& file,
                                         const std::string& start, const QString& calendar,
                                         SyncSetup& setup, std::ostream& out) {
  const QUrl url(QString::fromStdString(start));
  if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https")) {
    return start + " is no http:// or https:// address of a calendar or server";
  }
  QString chosen = ChooseCalendar(client, url, calendar, out).toString();
  if (!chosen.endsWith('/')) chosen += '/';
  setup.collection = chosen.toStdString();
  if (!SaveSetup(file, setup)) {
    return "the sync setup of " + file.string() + " cannot be written to " +
           SetupFile(file).string();
  }
  out << file.string() << " is synced with " << setup.collection << "\n";
  return std::nullopt;
}

SyncOutcome SyncOnce(const SyncOrder& order) {
  DavClient client(QString::fromStdString(order.setup.user),
                   QString::fromStdString(order.password));
  client.TrustCertificate(QByteArray::fromStdString(order.setup.trustFingerprint));
  std::ostringstream out;
  std::ostringstream err;
  SyncOutcome outcome{kSyncFailed, {}, false, order.setup};
  if (!order.start.empty()) {
    try {
      if (auto failure =
              SetUpCalendar(client, order.file, order.start, QString::fromStdString(order.calendar),
                            outcome.setup, out)) {
        outcome.said = *failure;
        return outcome;
      }
    } catch (const DavError& e) {
      outcome.said = std::string(e.what()) + "; nothing was set up.";
      return outcome;
    }
  }
  const auto before = Stamp(order.file);
  const SyncJob job{order.file, QUrl(QString::fromStdString(outcome.setup.collection)), false,
                    order.allowDeletes, order.defaults};
  outcome.status = RunSync(client, job, out, err);
  outcome.said = WithoutProgramName(outcome.status == kSyncDone ? out.str() : err.str());
  outcome.fileChanged = Stamp(order.file) != before;
  return outcome;
}

}  // namespace memro::sync
