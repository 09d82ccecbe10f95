#include "ical/event_uid.h"

#include <cstdint>
#include <unordered_map>

#include "ical/event_texts.h"

namespace memro::ical {
namespace {

// Two 64-bit FNV-1a hashes of different offsets: 128 bits, so that distinct events do
// not meet in practice. No secrecy is wanted, only stability.
std::string ContentHash(const std::string& bytes) {
  std::uint64_t a = 0xcbf29ce484222325ULL;
  std::uint64_t b = 0x84222325cbf29ce4ULL;
  for (char c : bytes) {
    a = (a ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    b = (b ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  std::string raw;
  for (int shift = 56; shift >= 0; shift -= 8) raw += static_cast<char>(a >> shift);
  for (int shift = 56; shift >= 0; shift -= 8) raw += static_cast<char>(b >> shift);
  return HexBytes(raw);
}

}  // namespace

std::vector<std::string> EventUids(const std::vector<EventRecord>& events) {
  std::unordered_map<std::string, int> seen;
  std::vector<std::string> uids;
  uids.reserve(events.size());
  for (const EventRecord& event : events) {
    const std::string hash = ContentHash(event.ToBytes());
    const int copy = ++seen[hash];
    uids.push_back(hash + "-" + std::to_string(copy) + "@memro");
  }
  return uids;
}

}  // namespace memro::ical
