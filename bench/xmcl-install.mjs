// Installs the catalogue's 1.20.1 with @xmcl/installer, for install_bench:
//   node xmcl-install.mjs BASE_URL FOLDER
// run in a folder whose node_modules holds @xmcl/installer
// (bench/xmcl-install.sh makes one). Its own defaults are kept; only the
// objects' host is pointed at the local server, as the version JSON already
// names it for everything else.
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.join(process.cwd(), 'package.json'));
const { install } = require('@xmcl/installer');

const [base, folder] = process.argv.slice(2);
const catalogue = await (await fetch(base + '/meta/version_manifest_v2.json')).json();
const entry = catalogue.versions.find((v) => v.id === '1.20.1');
await install(entry, folder, { assetsHost: base + '/resources' });
