#ifndef QUORVIL_EDITOR_CONSOLE_H_
#define QUORVIL_EDITOR_CONSOLE_H_

// The fixed texts of the dialogue, written in code page 949, and the reading
// of the numbers the user types. Output goes to std::cout and input comes
// from std::cin, which stays tied to std::cout so that each prompt is on the
// screen before its number is awaited.

// Writes the greeting and a line end.
void printGreeting();

// Each writes its prompt, with no line end, and returns the next integer in
// the input. Only the number is consumed: what follows it, the line end
// included, is left for the next read.
//
// Input that is not a number, or a number outside int's range, is dropped
// together with the rest of its line, and the prompt is written again. At end
// of input a line end is written and the process ends with status 0. When
// standard input cannot be read at all, the same line end is written, a line
// saying so goes to standard error, and the process ends with status 1. When
// standard output cannot be written, because this prompt, an earlier write or
// that last line end failed, no more input is read: a line saying so goes to
// standard error and the process ends with status 1. So each returns only a
// number that was typed, to a prompt that was shown.
int askMenu();
int askShapeKind();
int askIndex();

#endif  // QUORVIL_EDITOR_CONSOLE_H_
