#include <iostream>
#include <new>

#include "editor/editor.h"

// Builds the one editor and hands the console to it. The editor, and every
// shape it holds, lives until the process ends; command-line arguments are
// ignored.
//
// Running out of memory, for the editor or any shape, ends the process with
// one line on standard error and status 1 rather than an abort.
int main() {
  try {
    // Nothing here uses C stdio, so the standard streams may keep buffers of
    // their own instead of going through stdio a character at a time.
    std::ios_base::sync_with_stdio(false);
    Editor* editor = new Editor;
    editor->run();
  } catch (const std::bad_alloc&) {
    std::cerr << "quorvil: out of memory" << std::endl;
    return 1;
  }
  return 0;
}
