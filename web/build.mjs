// Builds the web page that runs quorvil.wasm: one self-contained HTML file
// that embeds the module byte for byte, its glue code with the libraries it
// bundles, the terminal's style sheet, the font and every licence, and needs
// nothing else, so that it opens from disk with no network. Writes a .sha256
// file beside it. Two builds of the same inputs give the same bytes.
//
//   node web/build.mjs MODULE.wasm FONT.woff2 FONT-COPYRIGHT VERSION PAGE.html
//
// FONT-COPYRIGHT is the font's copyright and licence, as Debian's
// fonts-nanum package has them.
import { createHash } from 'node:crypto';
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { basename, dirname, join, relative, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

import * as esbuild from 'esbuild';

const web = dirname(fileURLToPath(import.meta.url));

// iconv-lite carries the tables of many code pages, and the page needs code
// page 949's alone: the others are left out of the bundle.
const onlyCodePage949 = {
  name: 'only-code-page-949',
  setup(build) {
    build.onResolve({ filter: /^\.\/(tables\/.*\.json|sbcs-data-generated)$/ }, (args) => {
      if (!args.importer.includes(`${sep}iconv-lite${sep}`)) return undefined;
      if (args.path === './tables/cp949.json') return undefined;
      return { path: args.path, namespace: 'left-out' };
    });
    build.onLoad({ filter: /.*/, namespace: 'left-out' }, (args) =>
      args.path.endsWith('.json')
        ? { contents: '[]', loader: 'json' }
        : { contents: 'module.exports = {};', loader: 'js' });
  },
};

async function bundle() {
  const result = await esbuild.build({
    absWorkingDir: web,
    entryPoints: ['src/page.js'],
    bundle: true,
    minify: true,
    format: 'iife',
    platform: 'browser',
    target: ['es2020'],
    charset: 'utf8',
    legalComments: 'none',
    metafile: true,
    write: false,
    logLevel: 'warning',
    plugins: [onlyCodePage949],
  });
  const script = result.outputFiles[0].text.replaceAll('</script', '<\\/script');
  return { script, inputs: Object.keys(result.metafile.inputs) };
}

// The directories of the npm packages that the bundle takes code from.
function packagesOf(inputs) {
  const found = new Set();
  for (const input of inputs) {
    const match = /^(.*node_modules\/(?:@[^/]+\/)?[^/]+)\//.exec(input);
    if (match) found.add(match[1]);
  }
  return [...found].sort();
}

function licenceOf(directory) {
  const files = readdirSync(join(web, directory))
    .filter((name) => /^(licen[cs]e|copying)/i.test(name))
    .sort();
  if (files.length === 0) throw new Error(`${directory} carries no licence file`);
  const about = JSON.parse(readFileSync(join(web, directory, 'package.json'), 'utf8'));
  const texts = files.map((name) => readFileSync(join(web, directory, name), 'utf8').trim());
  return `${about.name} ${about.version} (${about.license})\n\n${texts.join('\n\n')}`;
}

function escapeHtml(text) {
  return text.replaceAll('&', '&amp;').replaceAll('<', '&lt;').replaceAll('>', '&gt;');
}

async function main([module, font, fontCopyright, version, page]) {
  if (!page) throw new Error('usage: node web/build.mjs MODULE.wasm FONT.woff2 FONT-COPYRIGHT VERSION PAGE.html');
  const { script, inputs } = await bundle();
  const licences = [
    `Quorvil ${version}\n\n${readFileSync(join(web, '..', 'LICENSE'), 'utf8').trim()}`,
    ...packagesOf(inputs).map(licenceOf),
    'Quorvil Mono: a subset of the font Nanum Gothic Coding, with only the glyphs\n' +
      'the page can show, and renamed, as its licence reserves its names.\n\n' +
      readFileSync(fontCopyright, 'utf8').trim(),
  ];
  const fields = {
    VERSION: version,
    FONT: readFileSync(font).toString('base64'),
    XTERM_CSS: readFileSync(join(web, 'node_modules/@xterm/xterm/css/xterm.css'), 'utf8').trim(),
    LICENCES: escapeHtml(licences.join(`\n\n${'-'.repeat(72)}\n\n`)),
    MODULE: readFileSync(module).toString('base64'),
    SCRIPT: script.trim(),
  };
  const html = readFileSync(join(web, 'page.html'), 'utf8')
    .replace(/@([A-Z_]+)@/g, (whole, field) => {
      if (!(field in fields)) throw new Error(`page.html has no field ${whole}`);
      return fields[field];
    });
  writeFileSync(page, html);
  const sum = createHash('sha256').update(html).digest('hex');
  writeFileSync(`${page}.sha256`, `${sum}  ${basename(page)}\n`);
  console.log(`${relative(process.cwd(), page)}: ${Buffer.byteLength(html)} bytes`);
}

main(process.argv.slice(2)).catch((error) => {
  console.error(`build.mjs: ${error.message}`);
  process.exit(1);
});
