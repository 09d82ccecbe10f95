#include "settings/recent_files.h"

#include "data/text_util.h"

namespace memro {

int AddRecentFile(RecentFiles& list, const std::string& path) {
  int n = 0;
  for (int i = 0; i < static_cast<int>(kRecentFiles); ++i) {
    if (!list[i].empty()) n = i + 1;
  }
  if (path.empty()) return n;
  const std::string wanted = AsciiLower(TrimBlanks(path));
  int found = 0;
  for (int p = n; p >= 1; --p) {
    if (AsciiLower(TrimBlanks(list[p - 1])) == wanted) {
      found = p;
      break;
    }
  }
  int last = found;
  if (found == 0) {
    if (n < static_cast<int>(kRecentFiles)) ++n;
    last = n;
  }
  for (int i = last - 1; i >= 1; --i) list[i] = list[i - 1];
  list[0] = path;
  return n;
}

std::string RecentCaption(int n, const std::string& path) {
  // Appended, not "&" + std::to_string(n): GCC 12 at -O3 reports that falsely (-Wrestrict).
  std::string caption = "&";
  return caption.append(std::to_string(n)).append(" ").append(path);
}

std::string PathOfRecentCaption(const std::string& caption) {
  return caption.size() > 3 ? caption.substr(3) : std::string();
}

}  // namespace memro
