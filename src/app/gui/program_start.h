#pragma once

#include <string>

namespace memro {

class AppService;
class MainWindow;

// How this process was started.
struct StartArguments {
  std::string commandLine;  // the program's own arguments, joined by blanks
  bool activated = false;   // by D-Bus activation: the bus's call says what to open
};
StartArguments ReadStartArguments(int argc, char** argv);

bool HasNotOnce(const std::string& commandLine);
// A name relative to where this process started, made absolute: another process (the
// running copy, a later start from a launcher) must still find the file.
std::string AbsoluteFileName(const std::string& name);

// Hands this start over to the copy that owns the program's bus name: the command
// line's file (none for /notonce) to load, and the front. True when the copy took it.
bool HandToRunningCopy(const std::string& commandLine);

// Starts the window and serves later starts through the bus until the program ends;
// the exit status.
int RunProgram(MainWindow& window, AppService& service, const StartArguments& start);

}  // namespace memro
