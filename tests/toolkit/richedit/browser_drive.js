// Drives headless Chromium over its DevTools pipe (no WebSocket library needed): opens the editor
// page from the rich-edit service, fills the editable body, then calls RichEditClient.getHtml and
// RichEditClient.getText with an element's id and waits until each post has been made.
//
//   node browser_drive.js <page url> <element id> <content as a JSON string>
//
// Prints what the page reports; exits 0 when every step ran.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [pageUrl, elementId, contentJson] = process.argv.slice(2);
const content = JSON.parse(contentJson);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'richedit-chromium-'));

const chromium = spawn('/usr/bin/chromium', [
  '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--user-data-dir=' + profile, '--remote-debugging-pipe', 'about:blank',
], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
chromium.stderr.on('data', () => {});  // Chromium's own chatter is not ours to judge

// Commands go out on fd 3, answers come back on fd 4, each message ended by a NUL byte.
let nextCommandId = 1;
const waiting = new Map();
let incoming = '';
chromium.stdio[4].setEncoding('utf8');
chromium.stdio[4].on('data', (chunk) => {
  incoming += chunk;
  let end;
  while ((end = incoming.indexOf('\0')) >= 0) {
    const message = JSON.parse(incoming.slice(0, end));
    incoming = incoming.slice(end + 1);
    const settle = waiting.get(message.id);
    if (settle) {
      waiting.delete(message.id);
      settle(message);
    }
  }
});

function command(method, params = {}, sessionId = undefined) {
  const id = nextCommandId++;
  return new Promise((resolve, reject) => {
    waiting.set(id, (answer) => (answer.error
      ? reject(new Error(`${method}: ${answer.error.message}`))
      : resolve(answer.result)));
    chromium.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  });
}

async function evaluate(sessionId, expression) {
  const answer = await command('Runtime.evaluate',
    { expression, awaitPromise: true, returnByValue: true }, sessionId);
  if (answer.exceptionDetails) {
    throw new Error(`page script failed: ${JSON.stringify(answer.exceptionDetails)}`);
  }
  return answer.result.value;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Fills the body and calls RichEditClient[functionName]; settles once jQuery's post has ended
// (the service answers a post with no response, so the request ends in an error: that is expected).
function postExpression(functionName) {
  return `new Promise((done) => {
    jQuery(document).one('ajaxComplete',
      (event, xhr) => done('${functionName} posted, status ' + xhr.status));
    jQuery('body').html(${JSON.stringify(content)});
    RichEditClient.${functionName}('body', ${Number(elementId)});
  })`;
}

async function main() {
  const started = Date.now();
  const { targetId } = await command('Target.createTarget', { url: pageUrl });
  const { sessionId } = await command('Target.attachToTarget', { targetId, flatten: true });
  const readyCheck = "document.readyState === 'complete' && typeof RichEditClient === 'object'";
  while (!(await evaluate(sessionId, readyCheck))) {
    if (Date.now() - started > 30000) throw new Error('the editor page did not load');
    await sleep(100);
  }
  console.log(`page loaded in ${Date.now() - started} ms`);
  console.log(`jquery ${await evaluate(sessionId, 'jQuery.fn.jquery')}`);
  console.log(`contentEditable ${await evaluate(sessionId, 'document.body.isContentEditable')}`);
  console.log(await evaluate(sessionId, postExpression('getHtml')));
  console.log(await evaluate(sessionId, postExpression('getText')));
  await command('Browser.close').catch(() => {});
}

// Ends Chromium first: it writes into its profile until it has gone.
function finish(code) {
  const removeProfileAndExit = () => {
    try {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    } catch (error) {
      console.error(`profile left behind: ${error.message}`);
    }
    process.exit(code);
  };
  if (chromium.exitCode !== null || chromium.signalCode !== null) {
    removeProfileAndExit();
    return;
  }
  chromium.once('exit', removeProfileAndExit);
  chromium.kill();
  setTimeout(removeProfileAndExit, 5000);
}

setTimeout(() => {
  console.error('timed out');
  finish(2);
}, 60000).unref();

main().then(() => finish(0), (error) => {
  console.error(error.message);
  finish(1);
});
