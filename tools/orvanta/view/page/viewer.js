// The viewer's page: the parameter tree, the live picture, the histogram, the image source, the
// configuration and the events, all through the server's JSON API (docs/viewer-api.md).
'use strict';

const $ = (id) => document.getElementById(id);
const token = new URLSearchParams(location.search).get('token');

// The state the page keeps; tests read it too.
const viewer = window.viewer = {
  serial: 0, frame: null, drawn: 0, skipped: 0, shownFps: 0, parameters: new Map(), eventCounts: new Map(),
};

function url(path) {
  if (!token) return path;
  return path + (path.includes('?') ? '&' : '?') + 'token=' + encodeURIComponent(token);
}

async function call(method, path, body) {
  const init = { method, headers: {} };
  if (body !== undefined) {
    init.body = body instanceof Blob ? body : JSON.stringify(body);
    init.headers['Content-Type'] = body instanceof Blob ? 'text/plain' : 'application/json';
  }
  const response = await fetch(url(path), init);
  const text = await response.text();
  let data = null;
  try { data = text ? JSON.parse(text) : null; } catch (e) { data = { error: { message: text } }; }
  return { ok: response.ok, status: response.status, data };
}

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (key === 'text') node.textContent = value; else node.setAttribute(key, value);
  }
  node.append(...children);
  return node;
}

function note(id, text, kind) {
  const node = $(id);
  node.textContent = text;
  node.className = 'note' + (kind ? ' ' + kind : '');
}

// ---- Parameters ------------------------------------------------------------------------------

function limitsText(p) {
  const parts = [];
  if (p.min !== undefined) parts.push(`${p.min} .. ${p.max}` + (p.inc !== undefined && p.inc !== 1 ? ` step ${p.inc}` : ''));
  if (p.unit) parts.push(p.unit);
  parts.push(`${p.type}, ${p.access}`);
  return parts.join(' · ');
}

function valueOf(p) {
  if (p.error) return '';
  if (p.entries) return p.symbol ?? String(p.value);
  if (p.value === undefined) return p.no_value ?? '';
  return String(p.value);
}

// A row that shows a parameter and writes what the user enters; one parameter may have rows in
// the tree and in the source panel.
function parameterRow(p) {
  const row = element('div', { class: 'param', 'data-name': p.name });
  const id = 'p-' + p.name + '-' + document.querySelectorAll(`[data-name="${p.name}"]`).length;
  const label = element('label', { for: id, text: p.display_name || p.name, title: p.name + (p.description ? '\n' + p.description : '') });
  let input;
  if (p.entries) {
    input = element('select', { id });
    for (const e of p.entries) input.append(element('option', { value: e.symbol || String(e.value), text: e.name || e.symbol }));
  } else {
    input = element('input', { id, type: 'text', spellcheck: 'false', autocomplete: 'off' });
  }
  input.className = 'value-input';
  input.addEventListener('change', () => writeParameter(p.name, input.value, row));
  row.append(label, input, element('div', { class: 'limits' }), element('div', { class: 'error' }));
  fillRow(row, p);
  return row;
}

function fillRow(row, p) {
  const input = row.querySelector('.value-input');
  if (document.activeElement !== input || !row.classList.contains('refused')) input.value = valueOf(p);
  input.disabled = !p.writable;
  row.querySelector('.limits').textContent = limitsText(p) + (p.error ? ' · ' + p.error.message : '');
}

function showParameter(p, flash) {
  viewer.parameters.set(p.name, Object.assign(viewer.parameters.get(p.name) || {}, p));
  for (const row of document.querySelectorAll(`.param[data-name="${p.name}"]`)) {
    fillRow(row, viewer.parameters.get(p.name));
    if (flash) { row.classList.remove('changed'); void row.offsetWidth; row.classList.add('changed'); }
  }
}

function clearErrors(name) {
  for (const row of document.querySelectorAll(`.param[data-name="${name}"]`)) {
    row.classList.remove('refused');
    row.querySelector('.error').textContent = '';
  }
}

async function writeParameter(name, value, row) {
  const r = await call('PUT', '/api/parameters/' + encodeURIComponent(name), { value });
  clearErrors(name);
  if (r.ok) {
    for (const p of r.data.changed) showParameter(p, p.name !== name);
    showParameter(r.data.parameter, false);
    return;
  }
  // The applet's answer, and the limits as it describes them now.
  const error = r.data && r.data.error ? r.data.error.message : 'HTTP ' + r.status;
  row.classList.add('refused');
  row.querySelector('.error').textContent = error + (r.data && r.data.range && !error.includes(r.data.range) ? ` (${r.data.range})` : '');
  if (r.data && r.data.parameter) {
    showParameter(r.data.parameter, false);
    row.querySelector('.value-input').value = valueOf(r.data.parameter);
  }
}

function categoryNode(category, open) {
  const details = element('details', {}, element('summary', { text: category.name }));
  if (open) details.open = true;
  for (const p of category.parameters) { viewer.parameters.set(p.name, p); details.append(parameterRow(p)); }
  for (const inner of category.categories) details.append(categoryNode(inner, false));
  return details;
}

const sourceNames = ['FG_CAMERASIMULATOR_ENABLE', 'FG_CAMERASIMULATOR_PATTERN', 'FG_CAMERASIMULATOR_WIDTH',
  'FG_CAMERASIMULATOR_HEIGHT', 'FG_CAMERASIMULATOR_FRAMERATE', 'FG_CAMERASIMULATOR_ROLL', 'FG_FORMAT'];

async function loadTree() {
  const r = await call('GET', '/api/parameters');
  if (!r.ok) return note('action-result', r.data.error.message, 'bad');
  const tree = $('tree');
  tree.replaceChildren();
  for (const category of r.data.categories) tree.append(categoryNode(category, true));
  if (r.data.without_description.length) {
    tree.append(categoryNode({ name: 'Answered by the runtime', parameters: r.data.without_description, categories: [] }, false));
  }
  const source = $('source-rows');
  source.replaceChildren();
  for (const name of sourceNames) if (viewer.parameters.has(name)) source.append(parameterRow(viewer.parameters.get(name)));
  filterTree();
}

function filterTree() {
  const text = $('filter').value.trim().toUpperCase();
  for (const row of $('tree').querySelectorAll('.param')) {
    row.hidden = text !== '' && !row.dataset.name.includes(text) && !row.querySelector('label').textContent.toUpperCase().includes(text);
  }
  for (const details of $('tree').querySelectorAll('details')) {
    details.hidden = text !== '' && !details.querySelector('.param:not([hidden])');
    if (text !== '' && !details.hidden) details.open = true;
  }
}

// ---- The picture ---------------------------------------------------------------------------

const canvas = $('frame');
const context = canvas.getContext('2d', { willReadFrequently: true });
let image = null;
const grey = new Uint32Array(256);
for (let v = 0; v < 256; v++) grey[v] = (0xff000000 | (v << 16) | (v << 8) | v) >>> 0;

function frameOf(response, data) {
  const h = (name) => Number(response.headers.get(name));
  return {
    serial: h('X-Frame-Serial'), picture: h('X-Frame-Picture'), width: h('X-Frame-Width'), height: h('X-Frame-Height'),
    bits: h('X-Frame-Bits-Per-Pixel'), lineBytes: h('X-Frame-Line-Bytes'), format: response.headers.get('X-Frame-Format'),
    delivered: h('X-Acquisition-Delivered'), lost: h('X-Acquisition-Lost'), fps: h('X-Acquisition-Fps'), data,
  };
}

function draw(frame) {
  $('frame-number').textContent = frame.picture;
  $('frame-size').textContent = `${frame.width} × ${frame.height}, ${frame.format}`;
  $('lost').textContent = frame.lost;
  if (frame.bits !== 8 && frame.bits !== 16 || frame.lineBytes * 8 !== frame.width * frame.bits) {
    showHint(`${frame.format} has ${frame.lineBytes * 8 / frame.width} bits per pixel: pictures of 8 or 16 bits per pixel are shown`);
    return;
  }
  if (canvas.width !== frame.width || canvas.height !== frame.height || image === null) {
    canvas.width = frame.width;
    canvas.height = frame.height;
    image = context.createImageData(frame.width, frame.height);
    applyZoom();
  }
  const out = new Uint32Array(image.data.buffer);
  const histogram = new Uint32Array(256);
  const data = frame.data;
  const count = frame.width * frame.height;
  // 16-bit pixels (little-endian) are shown by their high byte.
  const step = frame.bits / 8, high = step - 1;
  for (let i = 0, j = high; i < count; i++, j += step) {
    const v = data[j];
    out[i] = grey[v];
    histogram[v]++;
  }
  context.putImageData(image, 0, 0);
  viewer.frame = frame;
  viewer.drawn++;
  drawHistogram(histogram);
}

function drawHistogram(histogram) {
  const c = $('histogram'), g = c.getContext('2d');
  g.clearRect(0, 0, c.width, c.height);
  let peak = 1;
  for (const n of histogram) peak = Math.max(peak, n);
  g.fillStyle = '#3b6fb6';
  for (let v = 0; v < 256; v++) {
    const h = Math.round(c.height * histogram[v] / peak);
    g.fillRect(v, c.height - h, 1, h);
  }
}

// The next frame after `serial`, with its bytes; null when none came in time.
async function fetchFrame(serial) {
  const response = await fetch(url(`/api/frame?after=${serial}&timeout_ms=1000`));
  if (response.status === 204) return null;
  if (!response.ok) throw new Error('HTTP ' + response.status);
  return frameOf(response, new Uint8Array(await response.arrayBuffer()));
}

// While one frame is drawn, the next one is already on its way.
async function frameLoop() {
  let next = fetchFrame(viewer.serial);
  for (;;) {
    try {
      const frame = await next;
      next = fetchFrame(frame ? frame.serial : viewer.serial);
      next.catch(() => {});
      connected(true);
      if (!frame) continue;
      if (viewer.serial && frame.serial > viewer.serial + 1) viewer.skipped += frame.serial - viewer.serial - 1;
      viewer.serial = frame.serial;
      $('skipped').textContent = viewer.skipped;
      draw(frame);
    } catch (error) {
      connected(false);
      await sleep(1000);
      next = fetchFrame(viewer.serial);
    }
  }
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function applyZoom() {
  const zoom = $('zoom').value;
  if (zoom === 'fit') {
    const box = $('viewport');
    const scale = Math.min(box.clientWidth / canvas.width, box.clientHeight / canvas.height);
    canvas.style.width = Math.max(1, Math.floor(canvas.width * scale)) + 'px';
    canvas.style.height = Math.max(1, Math.floor(canvas.height * scale)) + 'px';
  } else {
    canvas.style.width = canvas.width * Number(zoom) + 'px';
    canvas.style.height = canvas.height * Number(zoom) + 'px';
  }
}

canvas.addEventListener('mousemove', (event) => {
  const frame = viewer.frame;
  if (!frame) return;
  const box = canvas.getBoundingClientRect();
  const x = Math.floor((event.clientX - box.left) * canvas.width / box.width);
  const y = Math.floor((event.clientY - box.top) * canvas.height / box.height);
  if (x < 0 || y < 0 || x >= frame.width || y >= frame.height) return;
  const i = (y * frame.width + x) * frame.bits / 8;
  const value = frame.bits === 16 ? frame.data[i] | (frame.data[i + 1] << 8) : frame.data[i];
  $('pixel').textContent = `x ${x}, y ${y}: ${value}`;
});

// ---- Acquisition, trigger, source ------------------------------------------------------------

function showHint(text, offerSimulator) {
  $('hint').hidden = !text;
  $('hint-text').textContent = text || '';
  $('use-simulator').hidden = !offerSimulator;
}

async function pollAcquisition() {
  const r = await call('GET', '/api/acquisition').catch(() => null);
  if (!r || !r.ok) { connected(false); return; }
  connected(true);
  const a = r.data;
  $('fps-acquired').textContent = a.frames_per_second.toFixed(1);
  $('lost').textContent = a.lost;
  $('start').disabled = a.requested;
  $('stop').disabled = !a.requested;
  const idle = a.requested && a.serial === viewer.serial && a.frames_per_second === 0;
  if (!a.requested) showHint('The acquisition is stopped.');
  else if (a.message && idle) showHint(a.message, viewer.parameters.get('FG_CAMERASIMULATOR_ENABLE')?.symbol === 'FG_CAMPORT');
  else if (viewer.eventsConnected && viewer.frame && (viewer.frame.bits === 8 || viewer.frame.bits === 16)) showHint('');
  viewer.shownFps = viewer.drawn - (viewer.drawnBefore || 0);
  viewer.drawnBefore = viewer.drawn;
  $('fps-shown').textContent = viewer.shownFps;
}

async function acquisition(running) {
  const r = await call('POST', '/api/acquisition', { running });
  if (!r.ok) note('action-result', r.data.error.message, 'bad');
  pollAcquisition();
}

async function trigger() {
  const r = await call('POST', '/api/trigger');
  note('action-result', r.ok ? 'trigger sent' : r.data.error.message, r.ok ? 'good' : 'bad');
}

async function loadCamera() {
  const r = await call('GET', '/api/camera');
  if (!r.ok || !r.data.available) return;
  $('camera').hidden = false;
  $('camera-connected').checked = r.data.connected;
  $('camera-width').value = r.data.width;
  $('camera-height').value = r.data.height;
  $('camera-fps').value = r.data.max_fps;
}

async function applyCamera(event) {
  event.preventDefault();
  const r = await call('PUT', '/api/camera', {
    connected: $('camera-connected').checked, width: Number($('camera-width').value),
    height: Number($('camera-height').value), max_fps: Number($('camera-fps').value),
  });
  note('camera-result', r.ok ? 'set' : r.data.error.message, r.ok ? 'good' : 'bad');
}

// ---- Configuration ---------------------------------------------------------------------------

async function loadConfiguration() {
  const file = $('load').files[0];
  if (!file) return;
  const r = await call('PUT', '/api/configuration', file);
  $('load').value = '';
  const changed = r.data && r.data.changed ? r.data.changed : [];
  for (const p of changed) showParameter(p, true);
  const message = r.ok ? `loaded ${file.name}: ${changed.length} changed`
    : `${file.name}: ${r.data.error.message}` + (changed.length ? ` (${changed.length} changed before it stopped)` : '');
  note('load-result', message, r.ok ? 'good' : 'bad');
}

// ---- Events ----------------------------------------------------------------------------------

function timeOfDay() {
  const now = new Date();
  return now.toTimeString().slice(0, 8) + '.' + String(now.getMilliseconds()).padStart(3, '0');
}

function showEvent(record) {
  viewer.eventCounts.set(record.name, (viewer.eventCounts.get(record.name) || 0) + 1);
  const log = $('event-log');
  const text = `${timeOfDay()}  ${record.name}  data 0x${record.data.toString(16)}  board ${(record.timestamp_ns / 1e9).toFixed(6)} s`;
  log.prepend(element('li', { text, 'data-name': record.name }));
  while (log.children.length > 200) log.lastChild.remove();
  const rows = $('event-counts').tBodies[0];
  let row = rows.querySelector(`tr[data-name="${record.name}"]`);
  if (!row) {
    row = element('tr', { 'data-name': record.name }, element('td', { text: record.name }), element('td'));
    rows.append(row);
  }
  row.lastChild.textContent = viewer.eventCounts.get(record.name);
}

function listenToEvents() {
  const source = new EventSource(url('/api/events'));
  source.addEventListener('hello', () => { viewer.eventsConnected = true; });
  source.addEventListener('fg', (message) => showEvent(JSON.parse(message.data)));
  // What this or another viewer changed: every page shows the board as it is.
  source.addEventListener('parameters', (message) => {
    for (const p of JSON.parse(message.data)) { clearErrors(p.name); showParameter(p, true); }
  });
  source.onerror = async () => {
    viewer.eventsConnected = false;
    // The browser tries again by itself; say why when the server serves enough viewers already.
    const board = await call('GET', '/api/board').catch(() => null);
    if (board && board.ok && board.data.viewers >= board.data.clients) {
      showHint(`This server serves ${board.data.clients} viewers at once: this page waits for one to close.`);
    }
  };
}

function connected(yes) {
  const badge = $('connection');
  badge.textContent = yes ? 'connected' : 'no connection';
  badge.className = 'badge ' + (yes ? 'good' : 'bad');
}

// ---- Start -----------------------------------------------------------------------------------

async function start() {
  $('filter').addEventListener('input', filterTree);
  $('zoom').addEventListener('change', applyZoom);
  window.addEventListener('resize', () => { if ($('zoom').value === 'fit') applyZoom(); });
  $('start').addEventListener('click', () => acquisition(true));
  $('stop').addEventListener('click', () => acquisition(false));
  $('trigger').addEventListener('click', trigger);
  $('use-simulator').addEventListener('click', () => writeParameter('FG_CAMERASIMULATOR_ENABLE', 'FG_CAMERASIMULATOR',
    document.querySelector('.param[data-name="FG_CAMERASIMULATOR_ENABLE"]')));
  $('camera').addEventListener('submit', applyCamera);
  $('load').addEventListener('change', loadConfiguration);
  $('save').href = url('/api/configuration');
  $('png').href = url('/api/frame.png');
  const board = await call('GET', '/api/board');
  if (!board.ok) { showHint(board.data.error.message); connected(false); return; }
  $('board-name').textContent = `${board.data.applet} on board ${board.data.board}`;
  document.title = `Orvanta view · board ${board.data.board}`;
  await loadTree();
  loadCamera();
  listenToEvents();
  pollAcquisition();
  setInterval(pollAcquisition, 1000);
  viewer.ready = true;
  frameLoop();
}

start();
