// A local RFC 3161 time-stamping service for the signing test: every request is answered by
// `openssl ts -reply` with the test's own time-stamping certificate.
//   node timestamp_service.js <openssl ts config> <work folder>
// Prints the port it listens on (127.0.0.1) and appends one line to <work folder>/requests.log
// for every reply.
const http = require('http');
const fs = require('fs');
const path = require('path');
const {execFileSync} = require('child_process');

const [config, folder] = process.argv.slice(2);
let served = 0;
const server = http.createServer((request, response) => {
  const parts = [];
  request.on('data', (part) => parts.push(part));
  request.on('end', () => {
    const query = path.join(folder, `query-${served}.tsq`);
    const reply = path.join(folder, `reply-${served}.tsr`);
    served += 1;
    try {
      fs.writeFileSync(query, Buffer.concat(parts));
      execFileSync('openssl', ['ts', '-reply', '-config', config, '-queryfile', query, '-out', reply],
                   {stdio: 'ignore'});
      fs.appendFileSync(path.join(folder, 'requests.log'), `${request.headers['content-type']}\n`);
      response.writeHead(200, {'Content-Type': 'application/timestamp-reply'});
      response.end(fs.readFileSync(reply));
    } catch (error) {
      response.writeHead(500);
      response.end();
    }
  });
});
server.listen(0, '127.0.0.1', () => console.log(server.address().port));
