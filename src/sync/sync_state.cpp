#include "sync/sync_state.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "data/event_record.h"
#include "data/record_file.h"
#include "ical/event_texts.h"
#include "platform/directories.h"
#include "settings/safe_write.h"
#include "sync/sync_setup.h"

namespace memro::sync {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Text(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end()) return {};
  if (!found->is_string()) throw StateError(std::string("\"") + key + "\" is not a text");
  return found->get<std::string>();
}

}  // namespace

fs::path StateDirectory() {
  // MEMRO_HOME keeps everything of one Memro together (tests, a portable setup).
  if (const std::string home = Env("MEMRO_HOME"); !home.empty()) {
    return DefaultProgramDirectory() / "state" / "sync";
  }
  if (const std::string state = Env("XDG_STATE_HOME"); !state.empty()) {
    return fs::path(state) / "memro" / "sync";
  }
  return fs::path(Env("HOME")) / ".local" / "state" / "memro" / "sync";
}

fs::path StateFile(const fs::path& eventFile, const std::string& collection) {
  const std::string key = fs::absolute(eventFile).lexically_normal().string() + "\n" + collection;
  return StateDirectory() / (eventFile.filename().string() + "-" + NameDigest(key) + ".json");
}

std::string StateText(const SyncState& state) {
  json pairs = json::array();
  for (const SyncPair& p : state.pairs) {
    pairs.push_back({{"href", p.href},
                     {"etag", p.etag},
                     {"uid", p.uid},
                     {"record", ical::HexBytes(p.record)},
                     {"ics", p.ics}});
  }
  json others = json::array();
  for (const SyncPair& p : state.others) {
    others.push_back({{"href", p.href}, {"etag", p.etag}, {"ics", p.ics}});
  }
  const json object = {{"collection", state.collection},
                       {"principal", state.principal},
                       {"token", state.token},
                       {"pairs", pairs},
                       {"others", others}};
  return object.dump(1) + "\n";
}

SyncState ParseState(const std::string& text) {
  const json object = json::parse(text, nullptr, false);
  if (!object.is_object()) throw StateError("it is no JSON object");
  SyncState state;
  state.collection = Text(object, "collection");
  state.principal = Text(object, "principal");
  state.token = Text(object, "token");
  const auto pairs = object.find("pairs");
  if (pairs == object.end() || !pairs->is_array()) throw StateError("it has no list of events");
  for (const json& p : *pairs) {
    if (!p.is_object()) throw StateError("an event of it is no JSON object");
    SyncPair pair{Text(p, "href"), Text(p, "etag"), Text(p, "uid"), {}, Text(p, "ics")};
    const auto record = ical::BytesFromHex(Text(p, "record"));
    if (!record || record->size() != kRecordSize) throw StateError("an event of it is damaged");
    pair.record = *record;
    state.pairs.push_back(std::move(pair));
  }
  // A state without them has no token worth using: the next listing is a full one.
  const auto others = object.find("others");
  if (others == object.end() || !others->is_array()) state.token.clear();
  for (const json& p : others == object.end() ? json::array() : *others) {
    if (!p.is_object()) throw StateError("a resource of it is no JSON object");
    state.others.push_back({Text(p, "href"), Text(p, "etag"), {}, {}, Text(p, "ics")});
  }
  return state;
}

std::optional<SyncState> LoadState(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) return std::nullopt;
    throw StateError(ErrorText(errno));
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseState(text.str());
}

void SaveState(const WriterLock&, const fs::path& file, const SyncState& state) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  // The state holds the user's events: nobody else may read or list them.
  ::chmod(file.parent_path().c_str(), 0700);
  if (!WriteFileSafely(file, StateText(state), 0600)) {
    throw FileError(errno ? errno : EIO, file.string());
  }
}

}  // namespace memro::sync
