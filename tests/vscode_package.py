#!/usr/bin/env python3
"""Packages the editor extension (editors/vscode) as a .vsix with the npm
tools and checks what the package holds. Skipped (status 77) with the reason
where npm is missing or its registry cannot be reached.

    vscode_package.py EXTENSION_DIR GRAMMAR OUTPUT_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import zipfile

SKIP = 77
NETWORK_FAULTS = ("ENOTFOUND", "EAI_AGAIN", "ETIMEDOUT", "ECONNREFUSED", "ECONNRESET", "network")


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=600)


def check_manifest(folder):
    """The manifest's contributions name files that exist and parse."""
    with open(os.path.join(folder, "package.json"), encoding="utf-8") as f:
        manifest = json.load(f)
    contributes = manifest["contributes"]
    paths = [c["configuration"] for c in contributes["languages"]]
    paths += [c["path"] for c in contributes["grammars"] + contributes["snippets"]]
    for path in paths:
        with open(os.path.join(folder, path), encoding="utf-8") as f:
            json.load(f)
    with open(os.path.join(folder, contributes["grammars"][0]["path"]), encoding="utf-8") as f:
        grammar = json.load(f)
    if grammar["scopeName"] != contributes["grammars"][0]["scopeName"]:
        raise SystemExit("the grammar's scope %s is not the manifest's" % grammar["scopeName"])
    return manifest


def main():
    source, grammar, out = sys.argv[1:4]
    folder = os.path.join(out, "vscode")
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(source, folder, ignore=shutil.ignore_patterns("node_modules", "*.vsix"))
    os.makedirs(os.path.join(folder, "syntaxes"), exist_ok=True)
    shutil.copy(grammar, os.path.join(folder, "syntaxes", "tallow.tmLanguage.json"))
    manifest = check_manifest(folder)
    npm = shutil.which("npm")
    if not npm:
        print("skipped: npm is not installed, so the .vsix cannot be packaged")
        return SKIP
    node = shutil.which("node")
    if node:
        checked = run([node, "--check", "extension.js"], folder)
        if checked.returncode != 0:
            print(checked.stdout)
            return 1
    installed = run([npm, "install", "--no-audit", "--no-fund", "--loglevel=error"], folder)
    if installed.returncode != 0:
        print(installed.stdout)
        if any(fault in installed.stdout for fault in NETWORK_FAULTS):
            print("skipped: the npm registry cannot be reached")
            return SKIP
        return 1
    vsix = os.path.join(out, "tallow.vsix")
    packaged = run([npm, "exec", "--no", "--", "vsce", "package", "--allow-missing-repository", "--out", vsix],
                   folder)
    if packaged.returncode != 0:
        print(packaged.stdout)
        return 1
    with zipfile.ZipFile(vsix) as z:
        names = set(z.namelist())
        wanted = ["extension/package.json", "extension/extension.js", "extension/language-configuration.json",
                  "extension/syntaxes/tallow.tmLanguage.json", "extension/snippets/tallow.json",
                  "extension/node_modules/vscode-languageclient/package.json"]
        missing = [name for name in wanted if name not in names]
        packed = json.loads(z.read("extension/package.json"))
    if missing:
        print("the package lacks " + ", ".join(missing))
        return 1
    if packed["version"] != manifest["version"]:
        print("the packaged manifest is not the extension's")
        return 1
    if any(name.startswith("extension/node_modules/@vscode/vsce/") for name in names):
        print("the package carries the packaging tool")
        return 1
    print("packaged %s (%d files)" % (vsix, len(names)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
