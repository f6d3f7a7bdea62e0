// The page's console: a terminal in which quorvil.wasm runs as it runs in a
// console at code page 949. What the user types is echoed at the prompt and
// edited there, and reaches the program a line at a time, with its line
// end, in code page 949; what the program writes is decoded from code page
// 949 by the browser's own decoder. Keys pressed while the program runs are
// kept, in order, until it asks for input again.
import { Terminal } from '@xterm/xterm';
import iconv from 'iconv-lite';

import { Session } from './replay.js';

const FONT = '"Quorvil Mono"';

// True for the code points a console draws two cells wide: Hangul, and the
// other East Asian wide and full-width characters.
function isWide(codePoint) {
  return (
    (codePoint >= 0x1100 && codePoint <= 0x115f) ||
    (codePoint >= 0x2e80 && codePoint <= 0xa4cf) ||
    (codePoint >= 0xac00 && codePoint <= 0xd7a3) ||
    (codePoint >= 0xf900 && codePoint <= 0xfaff) ||
    (codePoint >= 0xfe30 && codePoint <= 0xfe4f) ||
    (codePoint >= 0xff00 && codePoint <= 0xff60) ||
    (codePoint >= 0xffe0 && codePoint <= 0xffe6) ||
    codePoint >= 0x20000
  );
}

function moduleBytes() {
  const text = atob(document.getElementById('quorvil-module').textContent.trim());
  return Uint8Array.from(text, (c) => c.charCodeAt(0));
}

class Console {
  // Keys pressed before start() are kept for the program.
  constructor(terminal) {
    this.terminal = terminal;
    this.module = null;
    this.keys = [];       // Characters pressed and not handled yet.
    this.lastKey = '';    // The character handled last.
    this.busy = true;     // The program runs, or has not started yet.
    this.line = [];       // The code points of the line being typed.
    this.atLineStart = true;  // The terminal's cursor is at a line's start.
    this.session = null;  // The program's session, null once it exited.
    this.decoders = null; // Its standard output's and error's decoders.
    terminal.onData((data) => this.press(data));
  }

  // Starts the program, the compiled module given, and again after it ends.
  start(module = this.module) {
    this.module = module;
    this.decoders = { 1: new TextDecoder('euc-kr'), 2: new TextDecoder('euc-kr') };
    this.session = new Session(this.module, (bytes, stream) => {
      this.show(this.decoders[stream].decode(bytes, { stream: true }));
    });
    this.line = [];
    this.finish(this.session.run());
  }

  // Waits for a run of the program, then handles the keys pressed meanwhile.
  async finish(run) {
    this.busy = true;
    let status;
    try {
      status = await run;
    } catch (error) {
      this.show(`\n[${error}]\n`);
      status = 134;
    }
    if (status !== null) {
      // A first byte of a character left at the end shows as a replacement.
      for (const decoder of Object.values(this.decoders)) this.show(decoder.decode());
      if (!this.atLineStart) this.show('\n');
      this.show(`[exit status ${status}]\n`);
      this.session = null;
    }
    this.busy = false;
    this.handleKeys();
  }

  show(text) {
    if (text.length === 0) return;
    this.terminal.write(text);
    this.atLineStart = text.endsWith('\n');
  }

  press(data) {
    // Keys that send escape sequences, such as the arrows, edit nothing.
    if (data.startsWith('\x1b')) return;
    this.keys.push(...data);
    if (!this.busy) this.handleKeys();
  }

  handleKeys() {
    while (!this.busy && this.keys.length > 0) {
      const key = this.keys.shift();
      const afterReturn = this.lastKey === '\r';
      this.lastKey = key;
      if (key === '\n' && afterReturn) {
        // The second half of a CR LF line end, pasted.
      } else if (this.session === null) {
        if (key === '\r' || key === '\n') this.start();
      } else if (key === '\r' || key === '\n') {
        this.enter();
      } else if (key === '\x7f' || key === '\b') {
        this.eraseOne();
      } else if (key === '\x04') {
        if (this.line.length === 0) this.finish(this.session.end());
      } else if (key >= ' ') {
        this.line.push(key.codePointAt(0));
        this.show(key);
      }
    }
  }

  // Sends the line typed, in code page 949 and with its line end.
  enter() {
    const text = String.fromCodePoint(...this.line);
    this.line = [];
    this.show('\n');
    const bytes = iconv.encode(`${text}\n`, 'cp949');
    this.finish(this.session.send(new Uint8Array(bytes)));
  }

  eraseOne() {
    const codePoint = this.line.pop();
    if (codePoint === undefined) return;
    this.terminal.write(isWide(codePoint) ? '\b\b  \b\b' : '\b \b');
  }
}

async function main() {
  // The terminal measures its cells in the page's own font, so that font is
  // loaded first, for its Latin letters and for its Hangul.
  await Promise.all([document.fonts.load(`16px ${FONT}`, 'Q'), document.fonts.load(`16px ${FONT}`, '입')]);
  const terminal = new Terminal({
    cols: 80,
    rows: 24,
    convertEol: true,
    cursorBlink: true,
    fontFamily: `${FONT}, monospace`,
    fontSize: 16,
    scrollback: 10000,
    screenReaderMode: true,
  });
  terminal.open(document.getElementById('terminal'));
  terminal.focus();
  // For the page's test: the terminal, to read all that it has shown, and to
  // type into it before the program has started.
  window.quorvil = { terminal };
  const page = new Console(terminal);
  page.start(await WebAssembly.compile(moduleBytes()));
}

main();
