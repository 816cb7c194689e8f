// The HTTP server the shell utility's HTTP tests talk to, on 127.0.0.1 at a port of the system's
// choosing (written to the file named by the first argument). It plays the web services with
// their answer formats and echoes requests so that a test can see exactly what was sent.
'use strict';
const http = require('http');
const fs = require('fs');

const portFile = process.argv[2];
const hits = new Map();
let port = 0;

// "GET /path" line, then every header line as received, a blank line and the body.
function echo(req, body) {
  let text = `${req.method} ${req.url}\r\n`;
  for (let i = 0; i < req.rawHeaders.length; i += 2) text += `${req.rawHeaders[i]}: ${req.rawHeaders[i + 1]}\r\n`;
  return text + '\r\n' + body.toString('latin1');
}

function send(res, status, headers, body) {
  res.writeHead(status, headers);
  res.end(body);
}

const jsonHeaders = { 'Content-Type': 'application/json' };

function route(req, body, res) {
  const url = req.url;
  const path = url.startsWith('http://') ? new URL(url).pathname : url.split('?')[0];
  hits.set(path, (hits.get(path) || 0) + 1);
  const form = body.toString('latin1');
  const base = `http://127.0.0.1:${port}`;

  if (path.startsWith('/echo')) return send(res, 200, { 'Content-Type': 'text/plain' }, Buffer.from(echo(req, body), 'latin1'));
  if (path === '/hits') return send(res, 200, { 'Content-Type': 'text/plain' }, String(hits.get(new URL(base + url).searchParams.get('path')) || 0));
  if (path === '/cookies') {
    return send(res, 200, { 'Set-Cookie': ['a=1; path=/', 'b=2; path=/'], 'Content-Type': 'text/plain' }, 'ok');
  }
  if (path === '/moved-once') return send(res, 301, { Location: `${base}/landed` }, 'moved');
  if (path.startsWith('/landed')) return send(res, 200, { 'Content-Type': 'text/plain' }, `landed at ${url}`);
  if (path === '/always-moved') return send(res, 301, { Location: base }, 'moved again');
  if (path === '/redirect-302') return send(res, 302, { Location: `${base}/echo-after-302` }, 'found');
  if (path === '/redirect-with-cookie') {
    return send(res, 302, { Location: `${base}/landed`, 'Set-Cookie': ['r=1; path=/'] }, 'found');
  }
  if (path === '/utf8-marked') {
    return send(res, 200, { 'Content-Type': 'text/html' }, Buffer.from('<meta charset="utf-8">中文', 'utf8'));
  }
  if (path === '/utf8-header') {
    return send(res, 200, { 'Content-Type': 'text/plain; charset=UTF-8' }, Buffer.from('中文', 'utf8'));
  }
  if (path === '/utf8-combining') {
    // "Cafe" + COMBINING ACUTE ACCENT, then 中文: the accent has no character of its own in GBK.
    return send(res, 200, { 'Content-Type': 'text/plain; charset=utf-8' }, Buffer.from('Cafe\u0301 中文', 'utf8'));
  }
  if (path === '/gbk') return send(res, 200, { 'Content-Type': 'text/plain' }, Buffer.from('d6d0cec4', 'hex'));
  if (path === '/long-headers') {
    const padding = {};
    for (let i = 0; i < 8; ++i) padding[`X-Padding-${i}`] = 'p'.repeat(1000);
    return send(res, 200, { ...padding, 'Set-Cookie': ['long=1; path=/'] }, 'long');
  }

  // Share links: the share URL answers with the page's address, the page carries the share id,
  // the download request answers with the download URL when its form is right.
  if (path.startsWith('/share/s/')) return send(res, 302, { Location: `${base}/share/page?from=${path.slice(9)}` }, '');
  if (path === '/share/page') {
    return send(res, 200, { 'Content-Type': 'text/html' }, 'var yunData = {}; nid%20%3A%20%27987654%27%2C more');
  }
  if (path === '/share/downloadfile/') {
    const ok = req.method === 'POST' && form === 'surl=1AbCdE&nid=987654';
    return send(res, 200, jsonHeaders, ok ? '{"dlink":"http:\\/\\/files.example\\/get?id=987654"}' : '{"errno":2}');
  }

  // The call-back service.
  if (path === '/cb/login') {
    const ok = req.method === 'POST' && form === 'source=velmora-test';
    return send(res, 200, ok ? { 'Set-Cookie': ['sid=abc; path=/', 'uid=7; path=/'] } : {}, ok ? 'welcome' : 'denied');
  }
  if (path === '/cb/page') {
    return send(res, 200, { 'Content-Type': 'text/plain', 'Set-Cookie': ['seen=1; path=/'] },
      `page for ${req.headers.cookie || ''}`);
  }
  if (path === '/cb/add') {
    return send(res, 200, { 'Set-Cookie': ['added=1; path=/', 'uid=deleted; path=/'] }, `added for ${req.headers.cookie || ''}`);
  }

  // The shorteners: each answers in its own format when the request has the right form.
  const longUrl = 'http://long.example/page?a=1&b=2';
  if (path === '/short1') {
    const ok = form === `url=${longUrl}&alias=&access_type=web`;
    return send(res, 200, jsonHeaders, ok ? '{"tinyurl":"http:\\/\\/s1.test\\/One1","ok":1}' : '{"err":1}');
  }
  if (path === '/short2') {
    const query = url.slice(url.indexOf('?') + 1);
    const ok = query === `cb=x&u=${longUrl}&l=${longUrl}` && req.headers.referer === 'http://short2.test/';
    return send(res, 200, { 'Content-Type': 'text/javascript' }, ok ? 'x({"url":"http://s2.test/Two2"})' : 'x({"e":1})');
  }
  if (path === '/short3') {
    const ok = form === `url=${longUrl}&keyword=`;
    return send(res, 200, jsonHeaders, ok ? '{"shorturl":"http:\\/\\/s3.test\\/Thr3"}' : '{"err":1}');
  }
  if (path === '/relay') {
    const answers = {
      [`type=first&url=${longUrl}`]: '["http:\\/\\/r1.test\\/F1"]',
      [`type=second&url=${longUrl}`]: '{"data":"http:\\/\\/r2.test\\/S2"}',
      [`type=third&url=${longUrl}`]: '{"data":"http:\\/\\/r3.test\\/T3"}',
    };
    return send(res, 200, jsonHeaders, answers[form] || '{"err":1}');
  }
  if (path === '/short7') {
    const ok = form === `json=%7B%22urls%22%3A%5B%7B%22url%22%3A%22${longUrl}%22%7D%5D%7D`;
    return send(res, 200, jsonHeaders, ok ? '{"urls":[{"url":"http:\\/\\/s7.test\\/Sev7"}]}' : '{"err":1}');
  }
  if (path === '/phrases') {
    return send(res, 200, { 'Content-Type': 'text/html' },
      '<ul><li id="txt-1"></li><li id="txt-2">a velmora phrase</li><li id="txt-3"></li></ul>');
  }
  return send(res, 404, { 'Content-Type': 'text/plain' }, 'no such page');
}

const server = http.createServer((req, res) => {
  const chunks = [];
  req.on('data', (chunk) => chunks.push(chunk));
  req.on('end', () => route(req, Buffer.concat(chunks), res));
});
server.listen(0, '127.0.0.1', () => {
  port = server.address().port;
  fs.writeFileSync(portFile, String(port));
});
