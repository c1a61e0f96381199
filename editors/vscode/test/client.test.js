// What the extension hands the language client: the server program from
// vk6.serverPath over stdio, the model in initializationOptions, the vk6
// section for configuration changes, and a new server when the path
// changes. VS Code and the client library are stood in for.
'use strict';

const assert = require('node:assert');
const Module = require('node:module');
const test = require('node:test');

const settings = { model: 'VK610Q', serverPath: '/opt/vk6/vk6lsp' };
let onChange;
const clients = [];

class FakeClient {
  constructor(id, name, server, options) {
    Object.assign(this, { id, server, options, running: false });
    clients.push(this);
  }
  async start() { this.running = true; }
  async stop() { this.running = false; }
}

const fakes = {
  vscode: {
    workspace: {
      getConfiguration: () => ({ get: (key, fallback) => settings[key] ?? fallback }),
      onDidChangeConfiguration: (listener) => { onChange = listener; return { dispose() {} }; },
    },
    window: { showErrorMessage() {} },
  },
  'vscode-languageclient/node': { LanguageClient: FakeClient, TransportKind: { stdio: 0 } },
};
const load = Module._load;
Module._load = (request, ...rest) => fakes[request] ?? load(request, ...rest);
const extension = require('../extension.js');

test('client options and restarts', async () => {
  await extension.activate({ subscriptions: [] });
  assert.strictEqual(clients.length, 1);
  const [first] = clients;
  assert.deepStrictEqual(first.server.run, { command: '/opt/vk6/vk6lsp', transport: 0 });
  assert.deepStrictEqual(first.options.initializationOptions, { model: 'VK610Q' });
  assert.deepStrictEqual(first.options.synchronize, { configurationSection: 'vk6' });
  assert.deepStrictEqual(first.options.documentSelector.map((s) => s.language), ['vk6', 'vk6']);

  // A new model is only sent (by the client library); a new path restarts.
  await onChange({ affectsConfiguration: (key) => key === 'vk6.model' });
  assert.strictEqual(clients.length, 1);
  settings.serverPath = 'vk6lsp';
  await onChange({ affectsConfiguration: (key) => key === 'vk6.serverPath' });
  assert.strictEqual(clients.length, 2);
  assert.strictEqual(first.running, false);
  assert.strictEqual(clients[1].server.run.command, 'vk6lsp');
  assert.strictEqual(clients[1].running, true);

  await extension.deactivate();
  assert.strictEqual(clients[1].running, false);
});
