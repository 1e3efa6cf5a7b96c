// Think: the engine's search on the position of the board, its choice, the expected value of every
// candidate as heat maps, the chosen shot played as sent, and its spread under the host's noise.
import { getJson, postJson } from './api.js';
import { Sheet, crossMark, drawPaths, drawSheet, sheetPoint, svgElement, valueColour } from './draw.js';

// The part of the house view a draw heat map covers.
const DrawView = { top: 2.2, bottom: 7.4 };

function regionReach(region) {
  let reach = 0;
  for (const values of region.expected) { for (const v of values) { reach = Math.max(reach, Math.abs(v)); } }
  return reach;
}

function describeCell(region, curl, row, column) {
  const k = row * region.columns + column;
  return `curl ${curl}, target (${region.x[column].toFixed(3)}, ${region.y[row].toFixed(3)}): ` +
    `expected ${region.expected[curl][k].toFixed(4)}, without noise ${region.raw[curl][k].toFixed(4)}`;
}

function markCell(layer, x, y, kind) {
  const size = 0.12;
  if (kind === 'chosen') {
    svgElement('circle', { cx: x, cy: y, r: size, fill: 'none', stroke: '#000', 'stroke-width': 0.03, class: 'chosen-mark' }, layer);
  } else {
    svgElement('rect', { x: x - size, y: y - size, width: 2 * size, height: 2 * size, fill: 'none', stroke: '#0a0',
      'stroke-width': 0.03, class: 'challenging-mark' }, layer);
  }
}

// One heat map per curl of the draw candidates, at their targets over the house.
function drawDrawMaps(container, analysis, hover) {
  const region = analysis.candidates.draw;
  const reach = regionReach(region);
  const dx = region.columns > 1 ? region.x[1] - region.x[0] : 0.0725;
  const dy = region.rows > 1 ? region.y[1] - region.y[0] : 0.145;
  container.innerHTML = '';
  for (let curl = 0; curl < 2; ++curl) {
    const figure = document.createElement('figure');
    const svg = svgElement('svg', { class: 'heat-map', 'data-curl': curl }, figure);
    const caption = document.createElement('figcaption');
    caption.textContent = `draws, curl ${curl}`;
    figure.appendChild(caption);
    container.appendChild(figure);
    const layers = drawSheet(svg, { ...DrawView });
    // One pixel per candidate, stretched over the targets: one image draws at once where a shape per
    // candidate took most of the time from the answer to the picture.
    const canvas = document.createElement('canvas');
    canvas.width = region.columns;
    canvas.height = region.rows;
    const context = canvas.getContext('2d');
    for (let row = 0; row < region.rows; ++row) {
      for (let column = 0; column < region.columns; ++column) {
        context.fillStyle = valueColour(region.expected[curl][row * region.columns + column], reach);
        context.fillRect(column, row, 1, 1);
      }
    }
    svgElement('image', {
      href: canvas.toDataURL(), x: region.x[0] - dx / 2, y: region.y[0] - dy / 2, width: region.columns * dx,
      height: region.rows * dy, preserveAspectRatio: 'none', opacity: 0.85, class: 'heat-cells',
      style: 'image-rendering: pixelated',
    }, layers.heat);
    svg.addEventListener('mousemove', (event) => {
      const p = sheetPoint(svg, event);
      const column = Math.round((p[0] - region.x[0]) / dx), row = Math.round((p[1] - region.y[0]) / dy);
      if (row >= 0 && row < region.rows && column >= 0 && column < region.columns) {
        hover(describeCell(region, curl, row, column));
      }
    });
    for (const [kind, pick] of [['chosen', analysis], ['challenging', analysis.challenging]]) {
      if (pick.cell.curl === curl && pick.cell.row >= region.firstRow) {
        markCell(layers.marks, pick.target.x, pick.target.y, kind);
      }
    }
  }
}

// The strong candidates: a strip per row and curl, aim across, coloured by expected value.
function drawStrongStrips(container, analysis, hover) {
  const region = analysis.candidates.strong;
  const reach = regionReach(region);
  container.innerHTML = '';
  for (let curl = 0; curl < 2; ++curl) {
    const canvas = document.createElement('canvas');
    const rowHeight = 6;
    canvas.width = region.columns;
    canvas.height = region.rows * rowHeight;
    canvas.className = 'strip';
    const context = canvas.getContext('2d');
    for (let row = 0; row < region.rows; ++row) {
      for (let column = 0; column < region.columns; ++column) {
        context.fillStyle = valueColour(region.expected[curl][row * region.columns + column], reach);
        context.fillRect(column, row * rowHeight, 1, rowHeight - 1);
      }
    }
    context.lineWidth = 2;
    for (const [colour, pick] of [['#000', analysis], ['#0a0', analysis.challenging]]) {
      if (pick.cell.curl === curl && pick.cell.row < region.rows) {
        context.strokeStyle = colour;
        context.strokeRect(pick.cell.column - 2, pick.cell.row * rowHeight - 1, 5, rowHeight + 1);
      }
    }
    canvas.addEventListener('mousemove', (event) => {
      const box = canvas.getBoundingClientRect();
      const column = Math.floor((event.clientX - box.left) / box.width * region.columns);
      const row = Math.floor((event.clientY - box.top) / box.height * region.rows);
      if (row >= 0 && row < region.rows && column >= 0 && column < region.columns) {
        hover(`strong row ${row}, ` + describeCell(region, curl, row, column));
      }
    });
    const label = document.createElement('div');
    label.className = 'strip-label';
    label.textContent = `strong shots, curl ${curl}: a row per weight, aim from ${region.x[0].toFixed(2)} to ` +
      `${region.x[region.columns - 1].toFixed(2)} across`;
    container.appendChild(label);
    container.appendChild(canvas);
  }
}

// The spread: where each test shot that the chosen one's noise window weighs comes to rest.
export function drawSpread(layer, analysis) {
  layer.innerHTML = '';
  const cells = analysis.spread.cells;
  let reach = 0;
  for (const cell of cells) { reach = Math.max(reach, Math.abs(cell.value)); }
  for (const cell of cells) {
    if (!cell.rest) { continue; }
    const dot = svgElement('circle', {
      cx: cell.rest[0], cy: cell.rest[1], r: 0.02 + 0.1 * Math.sqrt(cell.weight), class: 'spread-dot',
      fill: valueColour(cell.value, reach), stroke: '#333', 'stroke-width': 0.006,
    }, layer);
    const title = svgElement('title', {}, dot);
    title.textContent = `weight ${cell.weight.toFixed(4)}, value ${cell.value.toFixed(4)}`;
  }
}

export function summaryText(analysis) {
  const shot = analysis.shot, target = analysis.target, c = analysis.challenging;
  const away = analysis.spread.cells.filter((cell) => !cell.rest).length;
  return `Chosen: vx ${shot.vx.toFixed(4)}, vy ${shot.vy.toFixed(4)}, curl ${shot.curl}, aimed at ` +
    `(${target.x.toFixed(3)}, ${target.y.toFixed(3)}). Expected value ${analysis.expectedValue.toFixed(4)}, ` +
    `success rate ${(100 * analysis.successRate).toFixed(1)} %.\n` +
    `Challenging (best without noise): aimed at (${c.target.x.toFixed(3)}, ${c.target.y.toFixed(3)}) curl ` +
    `${c.target.curl}, ${c.rawValue.toFixed(4)} without noise, expected ${c.expectedValue.toFixed(4)}, success rate ` +
    `${(100 * c.successRate).toFixed(1)} %.\n` +
    `Spread: ${analysis.spread.cells.length} test shots weighed` +
    (away > 0 ? `, ${away} of them leave the thrown stone out of play.` : '.');
}

// Runs an analysis with a progress bar; resolves with the analysis or throws the reason it failed.
export async function analyse(position, progressBar) {
  let polling = true;
  const poll = async () => {
    while (polling) {
      const answer = await getJson('/api/analyse/progress');
      if (polling && answer.ok && answer.data.searching) { progressBar.value = answer.data.testsDone / answer.data.tests; }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  };
  progressBar.value = 0;
  poll();
  const answer = await postJson('/api/analyse', { stones: position.stones, shotNumber: position.shotNumber });
  polling = false;
  progressBar.value = 1;
  if (!answer.ok) { throw new Error(answer.data.error); }
  return answer.data;
}

export function showAnalysis(analysis, elements, hover) {
  elements.summary.textContent = summaryText(analysis);
  elements.summary.dataset.chosenRegion = analysis.cell.row < analysis.candidates.draw.firstRow ? 'strong' : 'draw';
  drawDrawMaps(elements.drawMaps, analysis, hover);
  drawStrongStrips(elements.strips, analysis, hover);
}

export function markTarget(layer, analysis) {
  layer.innerHTML = '';
  if (analysis.target.y > Sheet.backLineY - 0.5) {
    crossMark(layer, [analysis.target.x, analysis.target.y], { class: 'target-mark' });
  }
}

export { drawPaths };
