// Drives headless Chromium over its DevTools pipe (no WebSocket library needed).
//
//   node browser_drive.js editor <page url> <element id> <content as a JSON string>
//       opens the editor page from the rich-edit service, fills the editable body, then calls
//       RichEditClient.getHtml and RichEditClient.getText with the element's id and waits until
//       each post has been made
//   node browser_drive.js foreign <service base url> <element id>
//       serves a page of its own from another local port (127.0.0.1) and lets that page try to
//       post content for the element to the service three ways: a plain script post (fetch,
//       no-cors), a script post carrying the editor page's mark (which needs a preflight), and a
//       text/plain form post; waits until each attempt has ended
//
// Prints what the pages report; exits 0 when every step ran.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const http = require('http');

const [mode, pageUrl, elementId, contentJson] = process.argv.slice(2);
const content = mode === 'editor' ? JSON.parse(contentJson) : null;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'richedit-chromium-'));

const chromium = spawn('/usr/bin/chromium', [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
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

async function openPage(url, readyCheck) {
  const started = Date.now();
  const { targetId } = await command('Target.createTarget', { url });
  const { sessionId } = await command('Target.attachToTarget', { targetId, flatten: true });
  while (!(await evaluate(sessionId, readyCheck))) {
    if (Date.now() - started > 30000) throw new Error(`${url} did not load`);
    await sleep(100);
  }
  console.log(`page loaded in ${Date.now() - started} ms`);
  return sessionId;
}

async function editor() {
  const sessionId = await openPage(pageUrl,
    "document.readyState === 'complete' && typeof RichEditClient === 'object'");
  console.log(`jquery ${await evaluate(sessionId, 'jQuery.fn.jquery')}`);
  console.log(`contentEditable ${await evaluate(sessionId, 'document.body.isContentEditable')}`);
  console.log(await evaluate(sessionId, postExpression('getHtml')));
  console.log(await evaluate(sessionId, postExpression('getText')));
}

// Another site's page: the form posts text/plain, which keeps the "|" of "id|content" as it is
// (a URL-encoded form would send %7C).
function foreignPage(serviceUrl) {
  const id = Number(elementId);
  return `<!DOCTYPE html><html><body>
<form id="attack" method="POST" enctype="text/plain" action="${serviceUrl}/cmd/get/html" target="sink">
<input type="hidden" name="${id}|&lt;b&gt;form" value="post&lt;/b&gt;"></form>
<iframe name="sink"></iframe>
<script>
async function attempt(what, options) {
  try {
    const answer = await fetch('${serviceUrl}/cmd/get/html', options);
    return what + ' answered ' + answer.status;
  } catch (error) {
    return what + ' failed';
  }
}
</script></body></html>`;
}

async function foreign() {
  const server = http.createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html' });
    response.end(foreignPage(pageUrl));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const foreignUrl = `http://127.0.0.1:${server.address().port}/`;
  console.log(`foreign page at ${foreignUrl}`);
  try {
    const sessionId = await openPage(foreignUrl,
      "document.readyState === 'complete' && typeof attempt === 'function'");
    const id = Number(elementId);
    console.log(await evaluate(sessionId, `attempt('plain fetch',
      { method: 'POST', mode: 'no-cors', body: '${id}|<b>plain fetch</b>' })`));
    console.log(await evaluate(sessionId, `attempt('marked fetch', { method: 'POST',
      headers: { 'X-Requested-With': 'XMLHttpRequest' }, body: '${id}|<b>marked fetch</b>' })`));
    // The form's answer (none: the service closes the connection) loads into the frame.
    console.log(await evaluate(sessionId, `new Promise((done) => {
      const frame = document.querySelector('iframe');
      frame.addEventListener('load', () => done('form posted'), { once: true });
      setTimeout(() => done('form posted, no load event'), 10000);
      document.getElementById('attack').submit();
    })`));
  } finally {
    server.close();
  }
}

async function main() {
  if (mode === 'editor') {
    await editor();
  } else if (mode === 'foreign') {
    await foreign();
  } else {
    throw new Error(`unknown mode ${mode}`);
  }
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
