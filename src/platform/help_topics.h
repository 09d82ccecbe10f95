#pragma once

namespace memro::help {

// Topics of memrx.html; each number is an anchor (#1, #5, ...) in the help file.
constexpr int kMainWindow = 1;  // also the Help menu
constexpr int kFileMenu = 5;
constexpr int kOptionsMenu = 6;
constexpr int kProtection = 14;
constexpr int kSetupMenu = 16;
constexpr int kViewer = 30;
constexpr int kEditor = 40;

}  // namespace memro::help
