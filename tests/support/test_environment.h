#pragma once

namespace memro::testing {

// Points every directory the program may touch (HOME, the temp directories, MEMRO_HOME,
// the XDG ones) at a fresh directory of this test process under the build tree, so
// that no test reaches the user's files and parallel tests do not meet. The directory
// goes away when the process ends normally.
void PrepareTestEnvironment();

}  // namespace memro::testing
