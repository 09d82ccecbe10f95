#pragma once

#include <string>
#include <string_view>

namespace memro::cli {

// text as a terminal may be given it: every control character but the line end and
// the tab (C0, DEL and C1, which would move the cursor, retitle or clear the window)
// written as dump writes it in JSON, "\u001b", "\r" and so on. text is UTF-8.
std::string TerminalSafe(std::string_view text);

}  // namespace memro::cli
