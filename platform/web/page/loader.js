// Loading the program: its code (orrery.wasm, started by orrery.js) and its
// pictures (WebP), with a progress bar of the bytes; each picture is decoded
// by the browser and written into the program's file system as the BMP file
// the desktop program reads (/orrery/NAME.bmp). A file that fails to load is
// named, with Retry; a browser without WebGL is told so before any download.
// The build fills in the files and their sizes in bytes: the code and the
// pictures.
const file_sizes = {@ORRERY_FILE_SIZES@};
const picture_names = Object.keys(file_sizes).filter((file) => file.endsWith('.webp'))
  .map((file) => file.slice(0, -'.webp'.length));

const progress_bar = document.getElementById('progress');
const loaded_bytes = new Map();  // file -> bytes received so far
const files = new Map();         // file -> promise of its bytes, while not failed
let failed = false;              // a file failed: its message stays until Retry
const kilobytes = (bytes) => `${Math.round(bytes / 1024)} KB`;

function show_progress() {
  if (failed) return;
  let loaded = 0, total = 0;
  for (const bytes of loaded_bytes.values()) loaded += bytes;
  for (const bytes of Object.values(file_sizes)) total += bytes;
  progress_bar.max = total;
  progress_bar.value = loaded;
  say(`Loading… ${kilobytes(loaded)} of ${kilobytes(total)}`);
}

async function fetch_with_progress(file) {
  let response;
  try {
    response = await fetch(file);
  } catch {
    throw new Error(`${file} could not be loaded: the connection failed`);
  }
  if (!response.ok) {
    throw new Error(`${file} could not be loaded: the server answered ${response.status} ${response.statusText}`.trim());
  }
  const reader = response.body.getReader();
  const chunks = [];
  let received = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    chunks.push(value);
    received += value.length;
    loaded_bytes.set(file, received);
    show_progress();
  }
  const bytes = new Uint8Array(received);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

// Each file's bytes, fetched once; a failed fetch is forgotten, so that Retry
// fetches it again.
function file_bytes(file) {
  if (!files.has(file)) {
    loaded_bytes.set(file, 0);
    const bytes = fetch_with_progress(file);
    bytes.catch(() => {
      files.delete(file);
      loaded_bytes.set(file, 0);
    });
    files.set(file, bytes);
  }
  return files.get(file);
}

// A 24-bit BMP (info header, rows bottom up, blue first, each row padded to
// four bytes) of an RGBA picture.
function bmp_of(image) {
  const { width, height, data } = image;
  const stride = Math.ceil((width * 3) / 4) * 4;
  const bmp = new Uint8Array(54 + stride * height);
  const header = new DataView(bmp.buffer);
  bmp[0] = 0x42;  // 'B'
  bmp[1] = 0x4d;  // 'M'
  header.setUint32(2, bmp.length, true);
  header.setUint32(10, 54, true);       // where the pixels start
  header.setUint32(14, 40, true);       // the info header's size
  header.setInt32(18, width, true);
  header.setInt32(22, height, true);
  header.setUint16(26, 1, true);        // planes
  header.setUint16(28, 24, true);       // bits per pixel
  header.setUint32(34, stride * height, true);
  for (let y = 0; y < height; y += 1) {
    const row = 54 + (height - 1 - y) * stride;
    for (let x = 0; x < width; x += 1) {
      const from = 4 * (y * width + x), to = row + 3 * x;
      bmp[to] = data[from + 2];
      bmp[to + 1] = data[from + 1];
      bmp[to + 2] = data[from];
    }
  }
  return bmp;
}

// The picture's pixels as the browser decodes them, without colour management
// (the files carry no colour profile).
async function decode(file, bytes) {
  try {
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/webp' }),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const canvas = document.createElement('canvas');
    canvas.width = bitmap.width;
    canvas.height = bitmap.height;
    const context = canvas.getContext('2d', { willReadFrequently: true });
    context.drawImage(bitmap, 0, 0);
    bitmap.close();
    return bmp_of(context.getImageData(0, 0, canvas.width, canvas.height));
  } catch {
    files.delete(file);
    throw new Error(`${file} could not be read as a picture`);
  }
}

async function load_program_files() {
  const wasm = file_bytes('orrery.wasm');
  const pictures = picture_names.map(async (name) => {
    const file = `${name}.webp`;
    return [name, await decode(file, await file_bytes(file))];
  });
  const [code, bmps] = await Promise.all([wasm, Promise.all(pictures)]);
  return { code, bmps };
}

function webgl_available() {
  try {
    const probe = document.createElement('canvas').getContext('webgl');
    probe?.getExtension('WEBGL_lose_context')?.loseContext();
    return probe !== null;
  } catch {
    return false;
  }
}

// The files, loaded; then orrery.js, which starts the program with them.
let program_files = null;
function start() {
  failed = false;
  progress_bar.hidden = false;
  show_progress();
  load_program_files().then((loaded) => {
    program_files = loaded;
    progress_bar.hidden = true;
    add_program_script();
  }, (error) => {
    failed = true;
    say(`${error.message}. Check the connection and try again.`, 'Retry', start);
  });
}

// Says "Starting…" first, which takes away the Retry that called it: a second
// click would otherwise load the code twice and start two programs.
function add_program_script() {
  say('Starting…');
  const script = document.createElement('script');
  script.src = 'orrery.js';
  script.addEventListener('error', () => {
    script.remove();
    say('orrery.js could not be loaded. Check the connection and try again.', 'Retry', add_program_script);
  });
  document.body.append(script);
}

Module.instantiateWasm = (imports, receive) => {
  WebAssembly.instantiate(program_files.code, imports).then(({ instance, module }) => receive(instance, module),
      (error) => say(`The program could not be started: ${error.message}`, 'Start again', () => location.reload()));
  return {};
};

// Before the program runs: its pictures, where the program looks for them.
Module.preRun = [() => {
  Module.FS_createPath('/', 'orrery', true, true);
  for (const [name, bmp] of program_files.bmps) {
    Module.FS_createDataFile('/orrery', `${name}.bmp`, bmp, true, false, true);
  }
  program_files = null;
}];

if (typeof WebAssembly !== 'object') {
  say('This browser cannot run WebAssembly, which the program needs. Try another browser.');
} else if (!webgl_available()) {
  say('This browser cannot draw with WebGL, which the program needs. Turn on hardware acceleration in the ' +
    "browser's settings, or try another browser.");
} else {
  start();
}
