#include "editor/editor.h"

// Builds the one editor and hands the console to it. The editor, and every
// shape it holds, lives until the process ends; command-line arguments are
// ignored.
int main() {
  Editor* editor = new Editor;
  editor->run();
  return 0;
}
