// The Tallow extension's client: starts `tallow --language-server` for the
// Tallow documents of the window and stops it with the extension.
"use strict";
const vscode = require("vscode");
const { LanguageClient } = require("vscode-languageclient/node");

let client;

function activate(context) {
    const command = vscode.workspace.getConfiguration("tallow").get("server.path") || "tallow";
    const serverOptions = { command, args: ["--language-server"] };
    const clientOptions = {
        documentSelector: [
            { scheme: "file", language: "tallow" },
            { scheme: "untitled", language: "tallow" },
        ],
    };
    client = new LanguageClient("tallow", "Tallow", serverOptions, clientOptions);
    context.subscriptions.push(client);
    return client.start();
}

function deactivate() {
    return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
