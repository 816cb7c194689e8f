// Load and fault run of the rich-edit service for scripts/load-richedit.sh, on 127.89.64.254 only,
// in three phases that together make <total> requests: a flood of posts (with some GETs) while the
// host plays an install, its GUI thread dispatching 10 ms in every 50; posts while its GUI thread
// dispatches nothing for 8 s, which fill the delivery table to its bounds; then the rest as a mix
// of valid GETs and POSTs with malformed request lines and headers, oversized and lying
// Content-Lengths, half-closed clients and clients that never read their answer, beside three
// clients that hold the service until its allowances end (silent, trickling, waiting for a body
// they never send). Drives the host (richedit_service_host) through its command pipe and prints
// figures; exits 1 when a request ended otherwise than expected, timed out, a thread was left
// behind or the service stopped answering.
//
//   node load_client.js <host> <port> <element id> <host pid> <command fifo> <host output file> [total]
'use strict';

const net = require('net');
const fs = require('fs');

const [host, portText, elementText, pidText, commandFifo, hostOutput, totalText] = process.argv.slice(2);
const port = Number(portText);
const elementId = Number(elementText);
const hostPid = Number(pidText);
const total = Number(totalText || 100000);
const concurrency = 4;      // with the stallers and the listen backlog of 5, no connection waits for a SYN retry
const clientTimeoutMs = 60000;
const serviceHost = `${host}:${port}`;
const mark = 'X-Requested-With: XMLHttpRequest\r\n';

// ---- The host -----------------------------------------------------------------------------------

let hostLinesSeen = 0;
function hostLines() {
  return fs.readFileSync(hostOutput, 'utf8').split('\n').map((l) => l.replace(/\r$/, ''));
}
// Sends a command and waits for the first new line matching `answer`.
async function hostCommand(command, answer, timeoutMs = 120000) {
  hostLinesSeen = hostLines().length - 1;
  fs.appendFileSync(commandFifo, command + '\n');
  const started = Date.now();
  while (Date.now() - started < timeoutMs) {
    const lines = hostLines();
    for (let i = hostLinesSeen; i < lines.length; ++i) {
      if (answer.test(lines[i])) {
        hostLinesSeen = i + 1;
        return lines[i];
      }
    }
    await sleep(50);
  }
  throw new Error(`the host did not answer "${command}"`);
}
async function hostReport() {
  const line = await hostCommand('report', /^report /);
  const figures = {};
  for (const pair of line.split(' ').slice(1)) {
    const [name, value] = pair.split('=');
    figures[name] = Number(value);
  }
  return figures;
}
function procStatus() {
  const status = {};
  for (const line of fs.readFileSync(`/proc/${hostPid}/status`, 'utf8').split('\n')) {
    const [name, value] = line.split(':');
    if (value !== undefined) status[name] = value.trim();
  }
  return { rssKiB: parseInt(status.VmRSS, 10), hwmKiB: parseInt(status.VmHWM, 10), threads: Number(status.Threads) };
}
function cpuTicks() {
  const fields = fs.readFileSync(`/proc/${hostPid}/stat`, 'utf8').split(') ')[1].split(' ');
  return Number(fields[11]) + Number(fields[12]);  // utime + stime
}

// ---- One exchange ---------------------------------------------------------------------------------

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// pieces: [{ bytes, delayMs }]; halfClose: end our side after the last piece; neverRead: stop
// reading at once and drop the connection after abandonMs.
function exchange({ pieces, halfClose = false, neverRead = false, abandonMs = 300, timeoutMs = clientTimeoutMs }) {
  return new Promise((resolve) => {
    const started = process.hrtime.bigint();
    const chunks = [];
    let settled = false;
    const socket = net.connect(port, host);
    const finish = (outcome) => {
      if (settled) return;
      settled = true;
      clearTimeout(timer);
      socket.destroy();
      resolve({ outcome, bytes: Buffer.concat(chunks), ms: Number(process.hrtime.bigint() - started) / 1e6 });
    };
    const timer = setTimeout(() => finish('timeout'), timeoutMs);
    socket.on('connect', async () => {
      if (neverRead) {
        socket.pause();
        setTimeout(() => finish('abandoned'), abandonMs);
      }
      for (const piece of pieces) {
        if (piece.delayMs) await sleep(piece.delayMs);
        if (settled || socket.destroyed) return;
        socket.write(piece.bytes);
      }
      if (halfClose && !socket.destroyed) socket.end();
    });
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('end', () => finish(chunks.length ? 'answered' : 'closed'));
    socket.on('close', () => finish(chunks.length ? 'answered' : 'closed'));
    socket.on('error', (error) => {
      if (error.code === 'ECONNREFUSED') finish('connect-failed');
      else finish(chunks.length ? 'answered' : 'closed');  // a reset after a refusal is a close
    });
  });
}

// A whole 200 answer: the status line and a body as long as its Content-Length.
function isWholeAnswer(bytes) {
  const text = bytes.toString('latin1');
  const headEnd = text.indexOf('\r\n\r\n');
  if (!text.startsWith('HTTP/1.1 200 OK\r\n') || headEnd < 0) return false;
  const length = /Content-Length:(\d+)\r\n/.exec(text.slice(0, headEnd));
  return length !== null && text.length - headEnd - 4 === Number(length[1]);
}

// ---- The kinds of request ----------------------------------------------------------------------

const get = (path, hostHeader = serviceHost) => `GET ${path} HTTP/1.1\r\nHost: ${hostHeader}\r\nAccept: */*\r\n\r\n`;
const post = (path, body, headers = mark) =>
  `POST ${path} HTTP/1.1\r\nHost: ${serviceHost}\r\n${headers}Content-Length: ${Buffer.byteLength(body)}\r\n\r\n${body}`;
const once = (bytes) => [{ bytes }];
let serial = 0;
const content = (size) => `${elementId}|<p>${String(++serial).padEnd(size, 'x')}</p>`;

function junkLine() {
  const bytes = Buffer.alloc(20 + Math.floor(Math.random() * 200));
  for (let i = 0; i < bytes.length; ++i) bytes[i] = Math.floor(Math.random() * 256);
  return Buffer.concat([bytes, Buffer.from('\r\n\r\n')]);
}

// weight, what it sends, what the service must do: 'answered' (a whole 200 answer), 'closed'
// (closed without a byte), 'abandoned' (we drop it first); delivers: a content for the element.
const kinds = {
  'GET /web/default': { weight: 25, validGet: true, expect: 'answered', make: () => ({ pieces: once(get('/web/default')) }) },
  'GET /web/richeditclient': { weight: 10, validGet: true, expect: 'answered', make: () => ({ pieces: once(get('/web/richeditclient')) }) },
  'GET /web/jquery': { weight: 5, validGet: true, expect: 'answered', make: () => ({ pieces: once(get('/web/jquery')) }) },
  'GET in three pieces': {
    weight: 3, validGet: true, expect: 'answered',
    make: () => {
      const request = get('/web/default');
      return { pieces: [{ bytes: request.slice(0, 7) }, { bytes: request.slice(7, 30), delayMs: 3 }, { bytes: request.slice(30), delayMs: 3 }] };
    },
  },
  'GET, then half-closed': { weight: 5, validGet: true, expect: 'answered', make: () => ({ pieces: once(get('/web/default')), halfClose: true }) },
  'POST, marked': { weight: 15, delivers: true, expect: 'closed', make: () => ({ pieces: once(post('/cmd/get/html', content(200))) }) },
  'POST, unmarked (a form)': { weight: 5, expect: 'closed', make: () => ({ pieces: once(post('/cmd/get/html', content(200), '')) }) },
  'POST, foreign Origin': {
    weight: 2, expect: 'closed',
    make: () => ({ pieces: once(post('/cmd/get/html', content(50), `${mark}Origin: http://evil.example\r\n`)) }),
  },
  'POST, lying length, half-closed': {
    weight: 5, delivers: true, expect: 'closed',
    make: () => ({ pieces: once(`POST /cmd/get/text HTTP/1.1\r\nHost: ${serviceHost}\r\n${mark}Content-Length: 1000\r\n\r\n${elementId}|cut short`), halfClose: true }),
  },
  'POST, oversized length': {
    weight: 3, expect: 'closed',
    make: () => ({ pieces: once(`POST /cmd/get/html HTTP/1.1\r\nHost: ${serviceHost}\r\n${mark}Content-Length: 99999999999\r\n\r\n${elementId}|x`) }),
  },
  'POST, length not a number': {
    weight: 1, expect: 'closed',
    make: () => ({ pieces: once(`POST /cmd/get/html HTTP/1.1\r\nHost: ${serviceHost}\r\n${mark}Content-Length: 12ab\r\n\r\n${elementId}|x`) }),
  },
  'GET with a query': { weight: 3, expect: 'closed', make: () => ({ pieces: once(get('/web/jquery?v=1')) }) },
  'junk request line': { weight: 5, expect: 'closed', make: () => ({ pieces: once(junkLine()) }) },
  'no Host': { weight: 2, expect: 'closed', make: () => ({ pieces: once('GET /web/default HTTP/1.1\r\n\r\n') }) },
  'foreign Host': { weight: 3, expect: 'closed', make: () => ({ pieces: once(get('/web/default', `evil.example:${port}`)) }) },
  'broken header lines': {
    weight: 2, expect: 'closed',
    make: () => ({ pieces: once(`GET /web/default HTTP/1.1\r\nno colon here\r\n\0\0\0: \xff\xfe\r\nHost\r\n\r\n`) }),
  },
  'head too long': {
    weight: 2, expect: 'closed',
    make: () => ({ pieces: once(`GET /web/default HTTP/1.1\r\nHost: ${serviceHost}\r\n` + 'X-Filler: 0123456789abcdef\r\n'.repeat(1600) + '\r\n') }),
  },
  'never reads the answer': { weight: 4, expect: 'abandoned', make: () => ({ pieces: once(get('/web/jquery')), neverRead: true }) },
};

// Clients that hold the one connection the service serves at a time, until its allowances end.
const stallers = {
  'staller: silent': { expect: 'closed', make: () => ({ pieces: [] }) },
  'staller: trickling head': {
    expect: 'closed',
    make: () => {
      const pieces = [{ bytes: `GET /web/default HTTP/1.1\r\nHost: ${serviceHost}\r\nX-Slow: ` }];
      for (let i = 0; i < 400; ++i) pieces.push({ bytes: 'a', delayMs: 200 });
      return { pieces };
    },
  },
  'staller: waits for a body it never sends': {
    expect: 'closed',
    make: () => ({ pieces: once(`POST /cmd/get/html HTTP/1.1\r\nHost: ${serviceHost}\r\n${mark}Content-Length: 1000\r\n\r\n${elementId}|x`) }),
  },
};

// ---- Tallies ---------------------------------------------------------------------------------------

function newTally() {
  return { byKind: {}, answered: 0, closed: 0, abandoned: 0, timeout: 0, connectFailed: 0, unexpected: 0,
    sent: 0, deliveringSent: 0, validGetMs: [] };
}
function count(tally, name, kind, result) {
  const row = tally.byKind[name] || (tally.byKind[name] = { n: 0, unexpected: 0 });
  row.n++;
  tally.sent++;
  let outcome = result.outcome;
  if (outcome === 'answered' && kind.expect === 'answered' && !isWholeAnswer(result.bytes)) outcome = 'bad answer';
  if (outcome === 'answered') tally.answered++;
  else if (outcome === 'closed') tally.closed++;
  else if (outcome === 'abandoned') tally.abandoned++;
  else if (outcome === 'timeout') tally.timeout++;
  else if (outcome === 'connect-failed') tally.connectFailed++;
  if (outcome !== kind.expect) {
    row.unexpected++;
    tally.unexpected++;
  }
  if (kind.delivers) tally.deliveringSent++;
  if (kind.validGet && outcome === 'answered') tally.validGetMs.push(result.ms);
}

function pickByWeight(table) {
  const names = Object.keys(table);
  const sum = names.reduce((s, n) => s + table[n].weight, 0);
  let r = Math.random() * sum;
  for (const name of names) {
    r -= table[name].weight;
    if (r < 0) return name;
  }
  return names[names.length - 1];
}

// Up to n requests from `concurrency` clients; next() gives each one, or null to stop early.
async function runClients(n, next, tally) {
  let issued = 0;
  async function client() {
    while (issued < n) {
      const item = next();
      if (item === null) return;
      issued++;
      const [name, kind, request] = item;
      count(tally, name, kind, await exchange(request));
    }
  }
  await Promise.all(Array.from({ length: concurrency }, client));
}

function percentile(values, q) {
  if (!values.length) return NaN;
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

function printTally(title, tally, seconds) {
  console.log(`== ${title}: ${tally.sent} requests in ${seconds.toFixed(1)} s`);
  console.log(`   answered ${tally.answered}, closed without an answer ${tally.closed} ` +
    `(refused, or a post: posts get none), abandoned by the client ${tally.abandoned}, ` +
    `timed out ${tally.timeout}, connect failed ${tally.connectFailed}`);
  console.log(`   not as expected: ${tally.unexpected}`);
  for (const [name, row] of Object.entries(tally.byKind)) {
    if (row.unexpected) console.log(`     ${name}: ${row.unexpected} of ${row.n} not as expected`);
  }
  const ms = tally.validGetMs;
  if (!ms.length) return;
  console.log(`   valid GET latency: median ${percentile(ms, 0.5).toFixed(2)} ms, 99th percentile ` +
    `${percentile(ms, 0.99).toFixed(2)} ms, worst ${Math.max(...ms).toFixed(1)} ms (${ms.length} answers)`);
}

// ---- The run -----------------------------------------------------------------------------------------

const MiB = 1048576;
const floodKinds = {
  'POST 1 KiB': { delivers: true, expect: 'closed', size: 1024 },
  'POST 64 KiB': { delivers: true, expect: 'closed', size: 65536 },
  'POST 2 MiB': { delivers: true, expect: 'closed', size: 2 * MiB },
};
const floodPost = (name) => [name, floodKinds[name], { pieces: once(post('/cmd/get/html', content(floodKinds[name].size))) }];
const validGet = () => ['GET /web/default', kinds['GET /web/default'], kinds['GET /web/default'].make()];

async function main() {
  const runStarted = Date.now();
  await sleep(500);
  const base = await hostReport();
  const baseProc = procStatus();
  console.log(`== Host at rest: resident ${(baseProc.rssKiB / 1024).toFixed(1)} MiB, ` +
    `threads ${base.threads} (Windows) / ${baseProc.threads} (Linux)`);
  let peakHwm = baseProc.hwmKiB;
  const sampler = setInterval(() => { peakHwm = Math.max(peakHwm, procStatus().hwmKiB); }, 200);

  // 1. A flood of posts while the host plays an install (40 ms busy, 10 ms dispatching), for as
  // long as the install lasts. Every 20th request is a GET whose latency counts.
  const installMs = 30000;
  const flood = newTally();
  let started = Date.now();
  let installing = true;
  const installed = hostCommand(`install ${installMs}`, /^installed$/, installMs + 60000).then(() => { installing = false; });
  let issued = 0;
  await runClients(total, () => {
    if (!installing) return null;
    issued++;
    if (issued % 20 === 0) return validGet();
    const r = Math.random();
    return floodPost(r < 0.005 ? 'POST 2 MiB' : r < 0.05 ? 'POST 64 KiB' : 'POST 1 KiB');
  }, flood);
  await installed;
  await sleep(500);
  const afterFlood = await hostReport();
  const afterFloodProc = procStatus();
  printTally('Post flood during the played install', flood, (Date.now() - started) / 1000);
  let delivered = afterFlood.delivered - base.delivered;
  console.log(`   posts delivered ${delivered}, refused ${flood.deliveringSent - delivered} of ${flood.deliveringSent}; ` +
    `resident afterwards ${(afterFloodProc.rssKiB / 1024).toFixed(1)} MiB`);

  // 2. Posts while the GUI thread is stalled (dispatching nothing for 8 s): the delivery table
  // fills to its bounds, first in bytes (2 MiB posts, 4 MiB of text each), then in records.
  const stall = newTally();
  started = Date.now();
  const stalled = hostCommand('stall 8000', /^stalled$/, 60000);
  await sleep(200);
  const stallPosts = [...Array(12).fill('POST 2 MiB'), ...Array(188).fill('POST 1 KiB')];
  let stallIndex = 0;
  let stallPeakRss = 0;
  await runClients(stallPosts.length, () => floodPost(stallPosts[stallIndex++]), stall);
  stallPeakRss = procStatus().rssKiB;
  const postsDoneMs = Date.now() - started;
  await stalled;
  await sleep(1000);
  const afterStall = await hostReport();
  const afterStallProc = procStatus();
  printTally('Posts while the GUI thread dispatches nothing for 8 s', stall, (Date.now() - started) / 1000);
  delivered = afterStall.delivered - afterFlood.delivered;
  console.log(`   all posts made within the stall: ${postsDoneMs < 8000 ? 'yes' : 'NO'} (${(postsDoneMs / 1000).toFixed(1)} s); ` +
    `delivered once it dispatched again ${delivered} (${((afterStall.delivered_bytes - afterFlood.delivered_bytes) / MiB).toFixed(1)} MiB of text), ` +
    `refused ${stall.deliveringSent - delivered} of ${stall.deliveringSent}`);
  console.log(`   resident: ${(stallPeakRss / 1024).toFixed(1)} MiB with the table full, ` +
    `${(afterStallProc.rssKiB / 1024).toFixed(1)} MiB once delivered`);

  // 3. The mix, with the stallers beside it, one at a time: the rest of the requests.
  const stallerNames = Object.keys(stallers);
  const mixTotal = total - flood.sent - stall.sent - stallerNames.length;
  const mix = newTally();
  started = Date.now();
  const stalling = (async () => {
    for (const name of stallerNames) {
      const result = await exchange(stallers[name].make());
      count(mix, name, stallers[name], result);
      console.log(`   ${name}: ${result.outcome} after ${(result.ms / 1000).toFixed(1)} s`);
    }
  })();
  await runClients(mixTotal, () => {
    const name = pickByWeight(kinds);
    return [name, kinds[name], kinds[name].make()];
  }, mix);
  await stalling;
  await sleep(300);
  const afterMix = await hostReport();
  printTally('Mixed requests, with the stallers', mix, (Date.now() - started) / 1000);
  console.log(`   delivered to the element: ${afterMix.delivered - afterStall.delivered} of ${mix.deliveringSent} delivering posts`);
  clearInterval(sampler);

  // Quiet again.
  await sleep(6000);  // past the idle allowance of any connection still held
  const ticksBefore = cpuTicks();
  await sleep(5000);
  const idleMs = (cpuTicks() - ticksBefore) * 10;  // USER_HZ is 100 on Linux
  const end = await hostReport();
  const endProc = procStatus();
  const last = await exchange({ pieces: once(get('/web/default')) });

  const tallies = [flood, stall, mix];
  const sum = (field) => tallies.reduce((s, t) => s + t[field], 0);
  console.log(`== Totals: ${sum('sent')} requests; answered ${sum('answered')}, closed without an answer ` +
    `${sum('closed')} (refused, or a post), abandoned by the client ${sum('abandoned')}, timed out ${sum('timeout')}, ` +
    `connect failed ${sum('connectFailed')}, not as expected ${sum('unexpected')}`);
  const worstOf = (t) => (t.validGetMs.length ? Math.max(...t.validGetMs) : NaN);
  console.log(`   worst latency of a valid GET: ${Math.max(worstOf(flood), worstOf(mix)).toFixed(1)} ms ` +
    `(during the install flood ${worstOf(flood).toFixed(1)} ms; in the mix, behind the stallers, ${worstOf(mix).toFixed(1)} ms)`);
  console.log(`   peak memory: resident ${(Math.max(peakHwm, endProc.hwmKiB) / 1024).toFixed(1)} MiB (VmHWM); ` +
    `resident at rest ${(baseProc.rssKiB / 1024).toFixed(1)} MiB, at the end ${(endProc.rssKiB / 1024).toFixed(1)} MiB`);
  console.log(`   threads: ${base.threads} at rest, ${end.threads} at the end (Windows); ` +
    `${baseProc.threads} / ${endProc.threads} (Linux)`);
  console.log(`   processor time while idle over 5 s afterwards: ${idleMs} ms`);
  console.log(`   still serving at the end: ${isWholeAnswer(last.bytes) ? 'yes' : 'NO'}; whole run ${((Date.now() - runStarted) / 1000).toFixed(0)} s`);
  const ok = isWholeAnswer(last.bytes) && end.threads === base.threads && sum('timeout') === 0 && sum('unexpected') === 0;
  process.exitCode = ok ? 0 : 1;
}

main().catch((error) => {
  console.error(error.stack || error.message);
  process.exitCode = 2;
});
