// Checks exported .glb files as a glTF client sees them, for tests/gltf_cli_test.sh.
//   node gltf_check.js validate FILE.glb...
//     the Khronos validator's report of each file: fails on any error
//   node gltf_check.js durations FILE.glb DUMP.json
//     one animation per animation of the package (zam dump), named alike, as long as its longest track
//   node gltf_check.js pose FILE.glb ANIMATION TIME POSE.json
//     the joints' matrices at TIME, sampled and composed as glTF defines it, against zam pose
// The validator's folder comes from ZAM_NODE_MODULES.
'use strict';
const fs = require('fs');
const path = require('path');

function readGlb(file) {
  const bytes = fs.readFileSync(file);
  const jsonLength = bytes.readUInt32LE(12);
  const gltf = JSON.parse(bytes.subarray(20, 20 + jsonLength).toString('utf8'));
  const binStart = 20 + jsonLength + 8;
  const bin = bytes.subarray(binStart, binStart + bytes.readUInt32LE(20 + jsonLength));
  return {bytes, gltf, bin};
}

// An accessor's floats, as arrays of its components.
function floats({gltf, bin}, index) {
  const accessor = gltf.accessors[index];
  const view = gltf.bufferViews[accessor.bufferView];
  const width = {SCALAR: 1, VEC3: 3, VEC4: 4}[accessor.type];
  const values = [];
  for (let i = 0; i < accessor.count; ++i) {
    const item = [];
    for (let c = 0; c < width; ++c) item.push(bin.readFloatLE((view.byteOffset || 0) + 4 * (i * width + c)));
    values.push(item);
  }
  return values;
}

function slerp(a, b, t) {
  let d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  if (d < 0) {
    b = b.map((x) => -x);
    d = -d;
  }
  if (d > 0.9999999) return a.map((x, i) => x + (b[i] - x) * t);
  const theta = Math.acos(d);
  const wa = Math.sin((1 - t) * theta) / Math.sin(theta);
  const wb = Math.sin(t * theta) / Math.sin(theta);
  return a.map((x, i) => wa * x + wb * b[i]);
}

// LINEAR sampling: the values before the first key and after the last hold.
function sample(times, values, t, path) {
  if (t <= times[0][0]) return values[0];
  const last = times.length - 1;
  if (t >= times[last][0]) return values[last];
  let k = 0;
  while (times[k + 1][0] <= t) ++k;
  const u = (t - times[k][0]) / (times[k + 1][0] - times[k][0]);
  if (path === 'rotation') return slerp(values[k], values[k + 1], u);
  return values[k].map((x, i) => x + (values[k + 1][i] - x) * u);
}

// T x R x S of column vectors, as rows of a 4x4 matrix.
function localMatrix(t, q, s) {
  const [x, y, z, w] = q;
  const r = [
    [1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
    [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
    [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)],
  ];
  return [0, 1, 2, 3].map((row) => (row === 3 ? [0, 0, 0, 1] : [...r[row].map((v, c) => v * s[c]), t[row]]));
}

function multiply(a, b) {
  return a.map((row) => [0, 1, 2, 3].map((c) => row.reduce((sum, v, k) => sum + v * b[k][c], 0)));
}

function validate(files) {
  const validator = require(path.join(process.env.ZAM_NODE_MODULES, 'gltf-validator'));
  return Promise.all(files.map((file) => validator.validateBytes(new Uint8Array(fs.readFileSync(file)))
      .then((report) => {
        const issues = report.issues;
        console.log(`${path.basename(file)}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                    `${issues.numInfos} infos, ${issues.numHints} hints`);
        for (const message of issues.messages) console.log(`  ${message.code} ${message.pointer || ''}: ${message.message}`);
        return issues.numErrors === 0;
      }))).then((results) => results.every((ok) => ok));
}

function durations(file, dumpFile) {
  const {gltf, bin} = readGlb(file);
  const dump = JSON.parse(fs.readFileSync(dumpFile, 'utf8'));
  const expected = dump.animations.map((a) => ({
    name: a.name,
    length: Math.fround(Math.max(0, ...a.tracks.filter((t) => t.times.length).map((t) => t.times[t.times.length - 1]))),
  }));
  const actual = (gltf.animations || []).map((a) => ({
    name: a.name,
    length: Math.max(...a.samplers.map((s) => gltf.accessors[s.input].max[0])),
  }));
  const ok = JSON.stringify(expected) === JSON.stringify(actual);
  if (!ok) console.log('expected', JSON.stringify(expected), '\nexported', JSON.stringify(actual));
  // Each input's declared bounds are its keys' own.
  return ok && (gltf.animations || []).every((a) => a.samplers.every((s) => {
    const times = floats({gltf, bin}, s.input);
    return times[times.length - 1][0] === gltf.accessors[s.input].max[0];
  }));
}

function pose(file, animationName, time, poseFile) {
  const glb = readGlb(file);
  const {gltf} = glb;
  const expected = JSON.parse(fs.readFileSync(poseFile, 'utf8'));
  const trs = gltf.nodes.map((n) => ({t: n.translation || [0, 0, 0], r: n.rotation || [0, 0, 0, 1], s: n.scale || [1, 1, 1]}));
  const animation = gltf.animations.find((a) => a.name === animationName);
  for (const channel of animation.channels) {
    const sampler = animation.samplers[channel.sampler];
    const value = sample(floats(glb, sampler.input), floats(glb, sampler.output), time, channel.target.path);
    trs[channel.target.node][{translation: 't', rotation: 'r', scale: 's'}[channel.target.path]] = value;
  }
  // The root node turns Z-up into Y-up; the joints below it hold the preview's model space.
  const root = gltf.scenes[0].nodes[0];
  const half = Math.SQRT1_2;
  if (JSON.stringify(gltf.nodes[root].rotation) !== JSON.stringify([-half, 0, 0, half])) {
    console.log('the root node does not turn Z-up into Y-up:', gltf.nodes[root].rotation);
    return false;
  }
  const world = new Map([[root, [[1, 0, 0, 0], [0, 1, 0, 0], [0, 0, 1, 0], [0, 0, 0, 1]]]]);
  const visit = (node) => {
    for (const child of gltf.nodes[node].children || []) {
      world.set(child, multiply(world.get(node), localMatrix(trs[child].t, trs[child].r, trs[child].s)));
      visit(child);
    }
  };
  visit(root);
  let worst = 0;
  for (const bone of expected.bones) {
    const node = gltf.nodes.findIndex((n, i) => n.name === bone.name && world.has(i));
    const matrix = world.get(node);
    // zam prints row-vector matrices: the transpose of the column-vector ones.
    for (let r = 0; r < 4; ++r) {
      for (let c = 0; c < 4; ++c) worst = Math.max(worst, Math.abs(bone.matrix[r][c] - matrix[c][r]));
    }
  }
  console.log(`${animationName} at ${time} s: ${expected.bones.length} joints, largest difference ${worst.toExponential(2)}`);
  return worst <= 1e-4;
}

const [mode, ...args] = process.argv.slice(2);
const run = {
  validate: () => validate(args),
  durations: () => durations(args[0], args[1]),
  pose: () => pose(args[0], args[1], Number(args[2]), args[3]),
}[mode];
Promise.resolve(run()).then((ok) => process.exit(ok ? 0 : 1), (error) => {
  console.error(error);
  process.exit(1);
});
