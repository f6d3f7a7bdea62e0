// Tests the built page in a real browser, headless, as a user meets it: it
// opens the page from its file:// URL, types with key events, and checks
// what the terminal shows against the native program's standard output for
// the same lines, decoded from code page 949, with each typed line echoed
// after the prompt it answers. The browser sees no Korean font but the
// page's own, and the page may load nothing but itself.
//
//   node web/test-page.mjs PAGE.html MODULE.wasm QUORVIL [SCREENSHOT.png]
//
// MODULE.wasm is the module the page must embed byte for byte; QUORVIL the
// native program. The browser is Debian's Chromium, or with
// QUORVIL_BROWSER=firefox Debian's Firefox ESR; with a SCREENSHOT path, the
// page mid-session is saved there. Exits 1 on the first failure.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import iconv from 'iconv-lite';
import puppeteer from 'puppeteer-core';

const [pagePath, modulePath, nativePath, screenshot] = process.argv.slice(2);
if (!nativePath) {
  console.error('usage: node web/test-page.mjs PAGE.html MODULE.wasm QUORVIL [SCREENSHOT.png]');
  process.exit(2);
}
const browserName = process.env.QUORVIL_BROWSER || 'chromium';
const pageUrl = pathToFileURL(resolve(pagePath)).href;

class Failure extends Error {}

function expect(ok, what) {
  if (!ok) throw new Failure(what);
}

// What the native program writes for lines typed, each with its line end,
// and then the end of input; and its exit status.
function native(lines) {
  const run = spawnSync(nativePath, { input: lines.map((line) => `${line}\n`).join('') });
  return { shown: iconv.decode(run.stdout, 'cp949'), status: run.status };
}

// What the terminal must show once the lines are typed, each with Enter:
// the program waiting for more where ending is null, or ended, by the last
// line ('exit', as command 4 ends it) or by Ctrl-D ('end of input'). After
// each line the program shows, at its next prompt, what the native one
// shows then: its output for the lines so far with input ending there, less
// the line end that the end of input brings.
function transcript(lines, ending = null) {
  const before = (count) => {
    const { shown } = native(lines.slice(0, count));
    expect(shown.endsWith('\n'), `the native program asked for no more after ${count} lines`);
    return shown.slice(0, -1);
  };
  let shown = before(0);
  let text = shown;
  lines.forEach((line, index) => {
    const last = index === lines.length - 1;
    const next = last && ending === 'exit' ? native(lines).shown : before(index + 1);
    expect(next.startsWith(shown), 'the native program wrote other things for more lines');
    text += `${line}\n${next.slice(shown.length)}`;
    shown = next;
  });
  if (ending === null) return text;
  const { status } = native(lines);
  if (ending === 'end of input') text += '\n';
  return `${text}${text.endsWith('\n') ? '' : '\n'}[exit status ${status}]`;
}

// The system's fontconfig without any font that covers Korean, so that the
// browser sees the machine as one with no Korean font installed, whatever
// is: it can draw Hangul only in the page's own font. (With no font at all
// Chromium loads no web font either.)
function noKoreanFonts(directory) {
  const config = join(directory, 'fonts.conf');
  writeFileSync(config, `<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><pattern><patelt name="lang"><string>ko</string></patelt></pattern></rejectfont></selectfont>
  <cachedir>${directory}/cache</cachedir>
</fontconfig>
`);
  return config;
}

async function launch(directory) {
  const env = { ...process.env, FONTCONFIG_FILE: noKoreanFonts(directory) };
  if (browserName === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, env,
    });
  }
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    env,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// Opens the page anew and waits for its terminal, not for the program.
async function open(browser) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => {
    const url = request.url();
    if (url !== pageUrl && !url.startsWith('data:')) errors.push(`the page loaded ${url}`);
  });
  await page.goto(pageUrl);
  await page.waitForFunction(() => window.quorvil !== undefined, { timeout: 20000 });
  page.errors = errors;
  return page;
}

// Every line the terminal holds, scrollback included, each without the
// blank cells at its end, and without the blank lines below the last.
function shownText(page) {
  return page.evaluate(() => {
    const buffer = window.quorvil.terminal.buffer.active;
    const lines = [];
    for (let i = 0; i < buffer.length; i++) {
      const line = buffer.getLine(i);
      const text = line.translateToString(true);
      if (line.isWrapped) lines[lines.length - 1] += text;
      else lines.push(text);
    }
    return lines.map((line) => line.trimEnd()).join('\n').trimEnd();
  });
}

// Waits until the terminal shows what it must, and fails with both where it
// does not.
async function expectShown(page, expected, what) {
  try {
    await page.waitForFunction((text) => {
      const buffer = window.quorvil.terminal.buffer.active;
      const lines = [];
      for (let i = 0; i < buffer.length; i++) {
        const line = buffer.getLine(i);
        if (line.isWrapped) lines[lines.length - 1] += line.translateToString(true);
        else lines.push(line.translateToString(true));
      }
      return lines.map((line) => line.trimEnd()).join('\n').trimEnd() === text;
    }, { timeout: 10000 }, expected);
  } catch {
    throw new Failure(`${what}: the terminal shows\n${await shownText(page)}\n\ninstead of\n${expected}`);
  }
  expect(page.errors.length === 0, `${what}: ${page.errors.join('; ')}`);
}

async function typeLine(page, text) {
  await page.keyboard.type(text);
  await page.keyboard.press('Enter');
}

async function controlD(page) {
  await page.keyboard.down('Control');
  await page.keyboard.press('d');
  await page.keyboard.up('Control');
}

const cases = {
  // A line, a circle and a rectangle inserted, all viewed, the line deleted
  // (it carries 1), all viewed again, a word that is not a number, and exit.
  async 'a whole session'(page) {
    const lines = ['1', '1', '1', '2', '1', '3', '3', '2', '1', '3', 'quorvil', '4'];
    await expectShown(page, transcript([]), 'the greeting and the menu');
    for (const [index, line] of lines.entries()) {
      await typeLine(page, line);
      const sofar = lines.slice(0, index + 1);
      if (index < lines.length - 1) {
        await expectShown(page, transcript(sofar), `after ${sofar.join(' ')}`);
      }
      if (index === 6 && screenshot) await page.screenshot({ path: screenshot });
    }
    await expectShown(page, transcript(lines, 'exit'), 'the whole session');
    expect(transcript(lines, 'exit').endsWith('[exit status 0]'), 'the session did not exit 0');
  },

  // Backspace erases what it follows, a Hangul syllable as well, from the
  // screen and from the line sent.
  async 'Backspace editing a line'(page) {
    await page.keyboard.type('5');
    await page.keyboard.press('Backspace');
    await typeLine(page, '3');
    await page.keyboard.type('가나');
    await page.keyboard.press('Backspace');
    await page.keyboard.press('Backspace');
    await page.keyboard.type('12');
    await page.keyboard.press('Backspace');
    await page.keyboard.press('Enter');
    await typeLine(page, '2');
    await typeLine(page, '3');
    await typeLine(page, '4');
    await expectShown(page, transcript(['3', '1', '2', '3', '4'], 'exit'), 'edited lines');
  },

  // Lines typed at once, before the program has shown its first prompt,
  // reach it in order, each echoed at the prompt it answers.
  async 'lines typed ahead before the prompt'(page) {
    await page.keyboard.type('1\n3\n1\n1 1 2\n3\n4\n');
    await expectShown(page, transcript(['1', '3', '1', '1 1 2', '3', '4'], 'exit'), 'lines typed ahead');
  },

  // Ctrl-D ends the input at the start of a line, and does nothing within
  // one; a new session starts with Enter once the program has ended.
  async 'Ctrl-D'(page) {
    await typeLine(page, '1');
    await page.keyboard.type('2');
    await controlD(page);
    await page.keyboard.press('Enter');
    await typeLine(page, '3');
    await controlD(page);
    const ended = transcript(['1', '2', '3'], 'end of input');
    await expectShown(page, ended, 'Ctrl-D at the start of a line');
    expect(ended.endsWith('[exit status 0]'), 'end of input did not exit 0');
    await page.keyboard.press('Enter');
    await expectShown(page, `${ended}\n${transcript([])}`, 'a new session');
  },
};

// The page's Hangul is drawn in its own font: the font is loaded, and in
// Chromium every glyph of the terminal's rows comes from it; and what the
// terminal shows is in the page's text too, for screen readers.
async function expectOwnFontAndText(page) {
  await expectShown(page, transcript([]), 'the greeting and the menu');
  const fonts = await page.evaluate(() => ({
    loaded: [...document.fonts].filter((f) => f.family.replaceAll('"', '') === 'Quorvil Mono' && f.status === 'loaded').length,
    hangul: document.fonts.check('16px "Quorvil Mono"', '삽입 삭제 모두보기 종료'),
  }));
  expect(fonts.loaded === 1 && fonts.hangul, 'the page\'s font is not loaded for its Hangul');
  // The terminal draws its rows, and the text for screen readers, a moment
  // after it takes the text.
  const texts = ['Quorvil입니다.', '삽입:1, 삭제:2, 모두보기:3, 종료:4 >>'];
  for (const selector of ['.xterm-rows', '.xterm-accessibility-tree']) {
    try {
      await page.waitForFunction((where, wanted) => {
        const element = document.querySelector(where);
        return element !== null && wanted.every((text) => element.textContent.includes(text));
      }, { timeout: 10000 }, selector, texts);
    } catch {
      throw new Failure(`the page's ${selector} does not hold ${texts.join(' and ')}`);
    }
  }
  if (browserName !== 'chromium') return 'the page\'s font is loaded and covers its Hangul';
  const session = await page.createCDPSession();
  await session.send('DOM.enable');
  await session.send('CSS.enable');
  const { root } = await session.send('DOM.getDocument', { depth: -1 });
  const { nodeIds } = await session.send('DOM.querySelectorAll', { nodeId: root.nodeId, selector: '.xterm-rows span' });
  const used = new Set();
  for (const nodeId of nodeIds) {
    const { fonts: drawn } = await session.send('CSS.getPlatformFontsForNode', { nodeId });
    for (const font of drawn) used.add(`${font.familyName}${font.isCustomFont ? '' : ' (not the page\'s)'}`);
  }
  expect(used.size === 1 && used.has('Quorvil Mono'), `the terminal is drawn in ${[...used].join(', ')}`);
  return 'every glyph of the terminal is drawn in the page\'s own font';
}

async function main() {
  const html = readFileSync(pagePath, 'utf8');
  const embedded = /<script type="application\/wasm" id="quorvil-module">([^<]*)<\/script>/.exec(html);
  expect(embedded && Buffer.from(embedded[1], 'base64').equals(readFileSync(modulePath)),
    `the page does not embed ${modulePath} byte for byte`);
  console.log(`  the page embeds ${modulePath}, byte for byte`);
  const directory = mkdtempSync(join(tmpdir(), 'quorvil-page-'));
  const browser = await launch(directory);
  try {
    console.log(`  ${browserName} ${await browser.version()}, with no Korean font but the page's`);
    const page = await open(browser);
    console.log(`  ${await expectOwnFontAndText(page)}`);
    await page.close();
    for (const [name, run] of Object.entries(cases)) {
      const tab = await open(browser);
      await run(tab);
      await tab.close();
      console.log(`  ${name}: as the native program, with the lines echoed`);
    }
  } finally {
    await browser.close();
    rmSync(directory, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error instanceof Failure ? `test-page: ${error.message}` : error);
  process.exit(1);
});
