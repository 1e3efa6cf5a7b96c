// The drawing of the sheet, its stones and their paths, shared by every page: coordinates are the
// engine's, in metres, x across the sheet and y along it, the house near y = 4.88 at the top of a view
// and the hack near y = 41.28 at its bottom.

export const Sheet = {
  width: 4.75, centreX: 2.375, teeY: 4.88, backLineY: 3.05, hogLineY: 11.28, deliveryY: 41.28,
  stoneRadius: 0.145, rings: [1.83, 1.22, 0.61, 0.15],
};

// The two views: the whole sheet from behind the back line to past the hack, and the house to the hog line.
export const Views = {
  whole: { top: 1.6, bottom: 42.6 },
  house: { top: 1.6, bottom: 12.2 },
};

export const TeamColours = ['#c0182a', '#f5c400'];
const SvgNs = 'http://www.w3.org/2000/svg';

export function svgElement(name, attributes = {}, parent = null) {
  const element = document.createElementNS(SvgNs, name);
  for (const [key, value] of Object.entries(attributes)) { element.setAttribute(key, value); }
  if (parent) { parent.appendChild(element); }
  return element;
}

// Draws the sheet's lines and rings into the svg and returns its layers, bottom first.
export function drawSheet(svg, view) {
  svg.innerHTML = '';
  const height = view.bottom - view.top;
  svg.setAttribute('viewBox', `-0.1 ${view.top} ${Sheet.width + 0.2} ${height}`);
  svgElement('rect', { x: 0, y: view.top, width: Sheet.width, height, fill: '#eef5fa' }, svg);
  const ringColours = ['#3b82c4', '#ffffff', '#e06666', '#ffffff'];
  Sheet.rings.forEach((r, i) => svgElement('circle', {
    cx: Sheet.centreX, cy: Sheet.teeY, r, fill: ringColours[i], stroke: '#667', 'stroke-width': 0.01,
  }, svg));
  const line = (x1, y1, x2, y2, stroke, width) => svgElement('line', { x1, y1, x2, y2, stroke, 'stroke-width': width }, svg);
  line(Sheet.centreX, view.top, Sheet.centreX, view.bottom, '#778', 0.015);
  line(0, Sheet.teeY, Sheet.width, Sheet.teeY, '#778', 0.015);
  line(0, Sheet.backLineY, Sheet.width, Sheet.backLineY, '#334', 0.03);
  line(0, Sheet.hogLineY, Sheet.width, Sheet.hogLineY, '#c03', 0.08);
  line(0, view.top, 0, view.bottom, '#334', 0.04);
  line(Sheet.width, view.top, Sheet.width, view.bottom, '#334', 0.04);
  if (view.bottom > Sheet.deliveryY) {
    svgElement('rect', { x: Sheet.centreX - 0.08, y: Sheet.deliveryY + 0.2, width: 0.16, height: 0.25, fill: '#334' }, svg);
  }
  const layers = {};
  for (const name of ['heat', 'paths', 'marks', 'stones', 'top']) {
    layers[name] = svgElement('g', { class: `layer-${name}` }, svg);
  }
  return layers;
}

// The sheet coordinates under a mouse event.
export function sheetPoint(svg, event) {
  const point = svg.createSVGPoint();
  point.x = event.clientX;
  point.y = event.clientY;
  const local = point.matrixTransform(svg.getScreenCTM().inverse());
  return [local.x, local.y];
}

// stones: 16 entries, [x, y] or null; teamOf(i): 0 or 1; options.last: the index to ring.
export function drawStones(layer, stones, teamOf, options = {}) {
  layer.innerHTML = '';
  stones.forEach((p, i) => {
    if (!p) { return; }
    const group = svgElement('g', { class: 'stone', 'data-index': i }, layer);
    svgElement('circle', {
      cx: p[0], cy: p[1], r: Sheet.stoneRadius, fill: TeamColours[teamOf(i)],
      stroke: i === options.last ? '#06c' : '#222', 'stroke-width': i === options.last ? 0.035 : 0.012,
      opacity: options.faded && options.faded(i) ? 0.35 : 1,
    }, group);
    const label = svgElement('text', {
      x: p[0], y: p[1], 'font-size': 0.16, 'text-anchor': 'middle', 'dominant-baseline': 'central',
      'font-weight': 'bold', fill: '#111', 'pointer-events': 'none',
    }, group);
    label.textContent = String(i + 1);
  });
}

// paths: {"index": [x0, y0, x1, y1, ...]}, as the record and the API give them.
export function drawPaths(layer, paths, teamOf) {
  layer.innerHTML = '';
  for (const [index, points] of Object.entries(paths || {})) {
    if (points.length < 4) { continue; }
    let d = `M${points[0]} ${points[1]}`;
    for (let k = 2; k < points.length; k += 2) { d += `L${points[k]} ${points[k + 1]}`; }
    svgElement('path', {
      d, fill: 'none', stroke: TeamColours[teamOf(Number(index))], 'stroke-width': 0.03, opacity: 0.8,
      'stroke-dasharray': '0.08 0.05',
    }, layer);
  }
}

export function pathDuration(paths, interval) {
  let longest = 0;
  for (const points of Object.values(paths || {})) { longest = Math.max(longest, points.length / 2 - 1); }
  return longest * interval;
}

// Where every stone is t seconds into a shot: the stones before it, moved along their paths; a stone
// whose path has ended before t has left the sheet.
export function stonesAt(before, paths, interval, t) {
  const stones = before.slice();
  t = Math.max(0, t);
  const k = Math.floor(t / interval + 1e-9), f = t / interval - k;
  for (const [index, points] of Object.entries(paths || {})) {
    const n = points.length / 2;
    if (k >= n) { stones[index] = null; continue; }
    const j = Math.min(k + 1, n - 1);
    stones[index] = [points[2 * k] + (points[2 * j] - points[2 * k]) * f,
      points[2 * k + 1] + (points[2 * j + 1] - points[2 * k + 1]) * f];
  }
  return stones;
}

// Plays a shot's paths in real time (times `speed`), calling draw(stones, t) at every frame; resolves
// with true once done, false when cancelled. The returned object's cancel() stops it.
export function animatePaths(before, paths, interval, draw, speed = 1) {
  const duration = pathDuration(paths, interval);
  let cancelled = false;
  const done = new Promise((resolve) => {
    const start = performance.now();
    const frame = (now) => {
      if (cancelled) { resolve(false); return; }
      // A frame's time stamp may lie a little before the start taken above.
      const t = Math.max(0, Math.min(duration, (now - start) / 1000 * speed));
      draw(stonesAt(before, paths, interval, t), t);
      if (t >= duration) { resolve(true); return; }
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  });
  return { done, cancel() { cancelled = true; } };
}

// A colour for a value on a scale that is white at zero, red above and blue below, full at `reach`.
export function valueColour(value, reach) {
  if (value === null || value === undefined || !Number.isFinite(value)) { return '#999'; }
  const share = Math.max(-1, Math.min(1, reach > 0 ? value / reach : 0));
  const fade = Math.round(255 * (1 - Math.abs(share)));
  return share >= 0 ? `rgb(255,${fade},${fade})` : `rgb(${fade},${fade},255)`;
}

export function crossMark(layer, p, attributes = {}) {
  const d = `M${p[0] - 0.07} ${p[1] - 0.07}l.14 .14M${p[0] + 0.07} ${p[1] - 0.07}l-.14 .14`;
  return svgElement('path', { d, stroke: '#000', 'stroke-width': 0.03, fill: 'none', ...attributes }, layer);
}
