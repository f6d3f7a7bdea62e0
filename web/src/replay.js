// Runs quorvil.wasm in a page, where a read of standard input cannot block
// until a key is pressed: each time the program asks for a line that has not
// been typed yet, its run is abandoned, and once the line is typed the
// program runs again from its start with every line typed so far. The
// program is deterministic and writes each prompt before it reads, so each
// run writes what the one before it wrote and then more; only what follows
// is shown.
import { Fd, WASI, wasi } from '@bjorn3/browser_wasi_shim';

// Thrown into the program, from its read, to abandon a run that needs input
// not typed yet. Wasm code cannot catch it, so it ends the run at once.
class NeedsInput extends Error {}

// Standard input: the lines typed so far, each with its line end, one line
// to a read, then end of input once that has been typed.
class Input extends Fd {
  constructor(session) {
    super();
    this.session = session;
    this.line = 0;
    this.offset = 0;
  }

  fd_read(size) {
    const lines = this.session.lines;
    if (this.line === lines.length) {
      if (this.session.ended) return { ret: wasi.ERRNO_SUCCESS, data: new Uint8Array() };
      throw new NeedsInput();
    }
    const line = lines[this.line];
    const data = line.subarray(this.offset, Math.min(line.length, this.offset + size));
    this.offset += data.length;
    if (this.offset === line.length) {
      this.line += 1;
      this.offset = 0;
    }
    return { ret: wasi.ERRNO_SUCCESS, data };
  }

  fd_fdstat_get() {
    return { ret: wasi.ERRNO_SUCCESS, fdstat: new wasi.Fdstat(wasi.FILETYPE_CHARACTER_DEVICE, 0) };
  }
}

// Standard output or error: hands on the bytes past those earlier runs have
// shown already.
class Output extends Fd {
  constructor(session, stream) {
    super();
    this.session = session;
    this.stream = stream;
    this.written = 0;
  }

  fd_write(data) {
    const shown = this.session.shown[this.stream];
    const start = this.written;
    this.written += data.length;
    if (this.written > shown) {
      this.session.shown[this.stream] = this.written;
      this.session.onOutput(data.subarray(Math.max(0, shown - start)), this.stream);
    }
    return { ret: wasi.ERRNO_SUCCESS, nwritten: data.length };
  }

  fd_fdstat_get() {
    return { ret: wasi.ERRNO_SUCCESS, fdstat: new wasi.Fdstat(wasi.FILETYPE_CHARACTER_DEVICE, 0) };
  }
}

// One session of the program: from its start until it exits.
export class Session {
  // module is the compiled quorvil.wasm; onOutput(bytes, stream) gets each
  // piece of output in order, stream 1 for standard output and 2 for
  // standard error.
  constructor(module, onOutput) {
    this.module = module;
    this.onOutput = onOutput;
    this.lines = [];
    this.ended = false;
    this.shown = { 1: 0, 2: 0 };
  }

  // Runs the program with what has been typed, and resolves to its exit
  // status once it exits, or to null where it waits for a line.
  async run() {
    const fds = [new Input(this), new Output(this, 1), new Output(this, 2)];
    const system = new WASI(['quorvil'], [], fds);
    const instance = await WebAssembly.instantiate(this.module, {
      wasi_snapshot_preview1: system.wasiImport,
    });
    try {
      return system.start(instance);
    } catch (error) {
      if (error instanceof NeedsInput) return null;
      throw error;
    }
  }

  // Types line, the bytes of a line with its line end, and runs again.
  send(line) {
    this.lines.push(line);
    return this.run();
  }

  // Ends the input and runs again.
  end() {
    this.ended = true;
    return this.run();
  }
}
