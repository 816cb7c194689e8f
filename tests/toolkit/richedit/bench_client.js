// Load generator for scripts/bench-richedit.sh: GET requests on fresh connections (the service
// closes every connection after its response) from `concurrency` clients for `seconds`, then
// prints requests per second and the median and 95th-percentile latency. Every response is
// checked: status 200 and a body as long as its Content-Length.
//
//   node bench_client.js <host> <port> <path> <seconds> <concurrency>
'use strict';

const http = require('http');

const [host, port, path, seconds, concurrency] = process.argv.slice(2);
const durationMs = Number(seconds) * 1000;
const latencies = [];
let failures = 0;
let bytes = 0;

function oneRequest() {
  return new Promise((resolve) => {
    const started = process.hrtime.bigint();
    const request = http.get({ host, port: Number(port), path, agent: false }, (response) => {
      let length = 0;
      response.on('data', (chunk) => { length += chunk.length; });
      response.on('end', () => {
        const ok = response.statusCode === 200 &&
          length === Number(response.headers['content-length']);
        if (ok) {
          latencies.push(Number(process.hrtime.bigint() - started) / 1e6);
          bytes += length;
        } else {
          failures++;
        }
        resolve();
      });
      response.on('error', () => { failures++; resolve(); });
    });
    request.on('error', () => { failures++; resolve(); });
  });
}

async function client(deadline) {
  while (Date.now() < deadline) await oneRequest();
}

async function main() {
  const started = Date.now();
  const deadline = started + durationMs;
  await Promise.all(Array.from({ length: Number(concurrency) }, () => client(deadline)));
  const elapsed = (Date.now() - started) / 1000;
  latencies.sort((a, b) => a - b);
  const at = (q) => (latencies.length
    ? latencies[Math.min(latencies.length - 1, Math.floor(q * latencies.length))]
    : NaN);
  console.log(`GET ${path}: ${latencies.length} responses, ${failures} failed, ` +
    `${concurrency} client(s), ${elapsed.toFixed(1)} s`);
  console.log(`requests per second: ${(latencies.length / elapsed).toFixed(1)}`);
  console.log(`median latency: ${at(0.5).toFixed(2)} ms   ` +
    `95th percentile: ${at(0.95).toFixed(2)} ms`);
  console.log(`throughput: ${(bytes / elapsed / 1048576).toFixed(1)} MiB/s`);
}

main();
