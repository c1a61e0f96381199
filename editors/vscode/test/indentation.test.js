// The block words that indent the lines after them and the ones that move
// back out, as VS Code reads them from language-configuration.json.
'use strict';

const assert = require('node:assert');
const test = require('node:test');
const rules = require('../language-configuration.json').indentationRules;

const increase = new RegExp(rules.increaseIndentPattern.pattern, rules.increaseIndentPattern.flags);
const decrease = new RegExp(rules.decreaseIndentPattern.pattern, rules.decreaseIndentPattern.flags);

// [line, indents the next line, moves back out itself]
const cases = [
  ['Sub Measure', true, false],
  ['EndSub', false, true],
  ['  End Sub', false, true],
  ['DataTable(Hourly, True, -1)', true, false],
  ['ENDTABLE', false, true],
  ['End Table', false, true],
  ['BeginProg', true, false],
  ['EndProg', false, true],
  ['  Scan(10, Sec)', true, false],
  ['  ScanLEDOff', false, false],
  ['  NextScan', false, true],
  ['  Next Scan', false, true],
  ['If X > 1 Then', true, false],
  ["if x then ' a comment", true, false],
  ['If X > 1 Then Y = 2', false, false],
  ['ElseIf X > 2 Then', true, true],
  ['Else', true, true],
  ['EndIf', false, true],
  ['End If', false, true],
  ['Select Case X', true, false],
  ['Case 1 To 2', true, true],
  ['Case Else', true, true],
  ['EndSelect', false, true],
  ['End Select', false, true],
  ['For I = 1 To 10', true, false],
  ['Next', false, true],
  ['Do While X > 1', true, false],
  ['Loop Until X < 0', false, true],
  ['WHILE X', true, false],
  ['Wend', false, true],
  ['Exit Do', false, false],
  ['Dimmer = Done + Forward', false, false],
  ['InterruptSequence', false, false],
];

test('indentation rules', () => {
  for (const [line, indents, outdents] of cases) {
    assert.strictEqual(increase.test(line), indents, `indents after: ${line}`);
    assert.strictEqual(decrease.test(line), outdents, `moves back: ${line}`);
  }
});
