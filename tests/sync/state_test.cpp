#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "data/env_guard.h"
#include "data/event_record.h"
#include "sync/sync_state.h"

namespace memro::sync {
namespace {

namespace fs = std::filesystem;

TEST(SyncStateTest, KeptPrivatelyWhereTheUserSaysAndReadBackWhole) {
  const fs::path home = std::getenv("MEMRO_HOME");
  const fs::path events = home / "events.mmo";
  std::ofstream(events) << "x";
  EventRecord record;
  record.SetMessage("caf\xe9\r\nline two");
  const SyncState state{"https://dav.example/cal/",
                        "/p/alice/",
                        "tok-1",
                        {{"/cal/a.ics", "W/\"7\"", "a@memro", record.ToBytes(), "BEGIN:VCALENDAR"}},
                        {{"/cal/b.ics", "\"8\"", {}, {}, "BEGIN:VCALENDAR"}}};
  const fs::path file = StateFile(events, state.collection);
  EXPECT_EQ(file.parent_path(), home / "state" / "sync");
  {
    const WriterLock lock(events);
    SaveState(lock, file, state);
  }
  EXPECT_EQ(LoadState(file), state);
  struct stat s {};
  ASSERT_EQ(::stat(file.c_str(), &s), 0);
  EXPECT_EQ(s.st_mode & 0777, 0600u);
  EXPECT_NE(StateFile(events, "https://dav.example/other/"), file);

  const testing::EnvGuard noHome("MEMRO_HOME", std::nullopt);
  const testing::EnvGuard state_home("XDG_STATE_HOME", "/xdg/state");
  EXPECT_EQ(StateDirectory(), fs::path("/xdg/state/memro/sync"));
}

TEST(SyncStateTest, DamagedStateIsNoState) {
  EXPECT_THROW(ParseState("{\"pairs\":[{\"record\":\"00\"}]}"), StateError);
  EXPECT_THROW(ParseState("not json"), StateError);
  EXPECT_EQ(LoadState(fs::path(std::getenv("MEMRO_HOME")) / "none.json"), std::nullopt);
}

}  // namespace
}  // namespace memro::sync
