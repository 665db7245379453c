// Runs the Khronos glTF validator on .glb files: prints one line per file
// ("FILE: E errors, W warnings, I infos, H hints; images: ...") and each
// error and warning, and exits with status 1 when any file has one.
// Usage: node validate-gltf.js VALIDATOR_DIR FILE...
'use strict';
const fs = require('fs');
const path = require('path');

const validator = require(path.resolve(process.argv[2]));
const files = process.argv.slice(3);

async function main() {
  let failed = false;
  for (const file of files) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
      uri: path.basename(file),
      maxIssues: 0,
      writeTimestamp: false,
    });
    const i = report.issues;
    const images = (report.info && report.info.resources || [])
      .filter((r) => r.pointer.startsWith('/images/'))
      .map((r) => `${r.mimeType} ${r.image ? r.image.width + 'x' + r.image.height : '?'}`);
    console.log(`${file}: ${i.numErrors} errors, ${i.numWarnings} warnings, ${i.numInfos} infos, ` +
                `${i.numHints} hints; images: ${images.length ? images.join(', ') : 'none'}`);
    for (const m of i.messages) {
      if (m.severity <= 1) console.log(`  ${m.severity === 0 ? 'error' : 'warning'} ${m.code} ${m.pointer || ''}: ${m.message}`);
    }
    if (i.numErrors > 0 || i.numWarnings > 0) failed = true;
  }
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.error(String(e));
  process.exit(2);
});
