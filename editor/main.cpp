#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include "editor/editor.h"

namespace {

// Called by new when memory runs out, for the editor, a shape or the
// streams' buffers: ends the process with one line on standard error and
// status 1. It throws nothing and writes through C stdio's unbuffered
// stderr, so it needs no memory, not even for an exception.
void outOfMemory() {
  std::fputs("quorvil: out of memory\n", stderr);
  std::exit(1);
}

}  // namespace

// Builds the one editor and hands the console to it. The editor, and every
// shape it holds, lives until the process ends; command-line arguments are
// ignored.
int main() {
  std::set_new_handler(outOfMemory);
  // Nothing here uses C stdio for the dialogue, so the standard streams may
  // keep buffers of their own instead of going through stdio a character at
  // a time.
  std::ios_base::sync_with_stdio(false);
  Editor* editor = new Editor;
  editor->run();
  return 0;
}
