#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include "editor/editor.h"

namespace {

// Called by new when memory runs out, for the editor, a shape or the
// streams' buffers: ends the process with one line on standard error and
// status 1, after handing on what the dialogue has shown so far. It throws
// nothing, writes through C stdio's unbuffered stderr and skips the exit
// handlers, so it needs no memory: not for an exception, and not for the
// runtime's own clean-up, which with MinGW's runtime allocates and then
// faults or aborts when none is left.
void outOfMemory() {
  std::fputs("quorvil: out of memory\n", stderr);
  std::cout.flush();
  std::_Exit(1);
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
