// Starts the vk6lsp language server for .vk6 files. The server checks each
// program for the model in the vk6.model setting: it gets the model when it
// starts and the whole vk6 settings section whenever a setting changes.
'use strict';

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');

let client;

function settings() {
  const config = vscode.workspace.getConfiguration('vk6');
  return { model: config.get('model', 'VK617Q'), serverPath: config.get('serverPath', 'vk6lsp') };
}

function startClient() {
  const { model, serverPath } = settings();
  const run = { command: serverPath, transport: TransportKind.stdio };
  client = new LanguageClient('vk6', 'VK6 language server', { run, debug: run }, {
    documentSelector: [
      { scheme: 'file', language: 'vk6' },
      { scheme: 'untitled', language: 'vk6' },
    ],
    initializationOptions: { model },
    // Sends workspace/didChangeConfiguration with { settings: { vk6: ... } }.
    synchronize: { configurationSection: 'vk6' },
  });
  return client.start().catch((error) => {
    vscode.window.showErrorMessage(
      `Cannot start the VK6 language server "${serverPath}" (setting vk6.serverPath): ${error.message}`);
  });
}

async function stopClient() {
  if (!client) return;
  const stopping = client;
  client = undefined;
  await stopping.stop();
}

function activate(context) {
  context.subscriptions.push(vscode.workspace.onDidChangeConfiguration(async (event) => {
    // A new program path needs a new server; a new model is only sent.
    if (!event.affectsConfiguration('vk6.serverPath')) return;
    await stopClient();
    await startClient();
  }));
  return startClient();
}

function deactivate() {
  return stopClient();
}

module.exports = { activate, deactivate };
