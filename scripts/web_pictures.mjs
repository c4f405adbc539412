// SPDX-License-Identifier: MIT
// The page's pictures: each BMP of data/textures/ as WebP at quality 80
// (method 6, the encoder's slowest and smallest), which every browser the
// page runs in decodes (Safari since 14). The thirteen are 6.0 MB as BMP and
// 125 KB so; JPEG at quality 85 would be 231 KB. cwebp reads no BMP, so each
// goes to it as a PPM (rows top down, red first).
//   node scripts/web_pictures.mjs OUT_DIR BMP...
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';

const quality = '80';
const [out_dir, ...pictures] = process.argv.slice(2);
if (!out_dir || pictures.length === 0) {
  console.error('usage: node scripts/web_pictures.mjs OUT_DIR BMP...');
  process.exit(2);
}
mkdirSync(out_dir, { recursive: true });

// The pictures are uncompressed 24-bit BMPs, rows bottom up unless the
// height is negative, each row padded to 4 bytes.
function bmp_to_ppm(bytes, name) {
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const stored_height = bytes.readInt32LE(22);
  const bits = bytes.readUInt16LE(28);
  const compression = bytes.readUInt32LE(30);
  if (bytes.toString('latin1', 0, 2) !== 'BM' || bits !== 24 || compression !== 0 || width <= 0) {
    throw new Error(`${name}: not an uncompressed 24-bit BMP`);
  }
  const height = Math.abs(stored_height);
  const stride = Math.ceil((width * 3) / 4) * 4;
  const header = Buffer.from(`P6\n${width} ${height}\n255\n`, 'latin1');
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; y += 1) {
    const row = offset + (stored_height > 0 ? height - 1 - y : y) * stride;
    for (let x = 0; x < width; x += 1) {
      rgb[3 * (y * width + x)] = bytes[row + 3 * x + 2];
      rgb[3 * (y * width + x) + 1] = bytes[row + 3 * x + 1];
      rgb[3 * (y * width + x) + 2] = bytes[row + 3 * x];
    }
  }
  return Buffer.concat([header, rgb]);
}

for (const picture of pictures) {
  const name = basename(picture, '.bmp');
  const ppm = join(out_dir, `${name}.ppm`);
  writeFileSync(ppm, bmp_to_ppm(readFileSync(picture), picture));
  execFileSync('cwebp', ['-quiet', '-q', quality, '-m', '6', ppm, '-o', join(out_dir, `${name}.webp`)],
    { stdio: 'inherit' });
  rmSync(ppm);
}
