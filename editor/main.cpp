#include <iostream>

#include "editor/editor.h"

// Builds the one editor and hands the console to it. The editor, and every
// shape it holds, lives until the process ends; command-line arguments are
// ignored.
int main() {
  // Nothing here uses C stdio, so the standard streams may keep buffers of
  // their own instead of going through stdio a character at a time.
  std::ios_base::sync_with_stdio(false);
  Editor* editor = new Editor;
  editor->run();
  return 0;
}
