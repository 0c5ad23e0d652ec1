#!/bin/sh
# Puts the npm package @xmcl/installer into a temporary folder for
# install_bench and prints that folder:
#   build-release/bench/install_bench --xmcl_dir="$(bench/xmcl-install.sh)"
# Its @xmcl/unzip names its @xmcl/yauzl by a "workspace:" version that npm
# cannot read, so the package file pins that one dependency.
set -e
dir=$(mktemp -d /tmp/xmcl-installer.XXXXXX)
cd "$dir"
printf '{"name":"xmcl-bench","private":true,"overrides":{"@xmcl/yauzl":"2.10.0"}}\n' > package.json
npm install --no-audit --no-fund --silent "@xmcl/installer@${XMCL_VERSION:-6.1.2}" >&2
echo "$dir"
