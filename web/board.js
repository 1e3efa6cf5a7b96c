// The position being set up: 16 stone slots, the shot number, the end and the hammer, edited with the
// mouse on the sheet and the house, and read and written as the engine's POSITION and SETSTATE lines
// or as JSON.
import { Sheet, drawStones, sheetPoint } from './draw.js';

export const StoneCount = 16;

export function emptyPosition() {
  return { stones: new Array(StoneCount).fill(null), shotNumber: 0, end: 0, hammer: 1 };
}

// Stone i belongs to the team that throws first in the end when i is even, to the hammer when odd.
export function teamOfStone(position, i) {
  return i % 2 === 1 ? position.hammer : 1 - position.hammer;
}

export function teamToThrow(position) {
  return teamOfStone(position, position.shotNumber);
}

// The slot a new stone of `team` takes: the first of its slots already delivered but empty, else its
// next one, which raises the shot number past it. -1 when the team has no slot left.
export function slotFor(position, team) {
  const parity = team === position.hammer ? 1 : 0;
  for (let i = parity; i < position.shotNumber; i += 2) {
    if (!position.stones[i]) { return i; }
  }
  let next = parity;
  while (next < position.shotNumber) { next += 2; }
  return next < StoneCount - 1 ? next : -1;  // the last slot is the stone still to throw
}

export function placeStone(position, team, point) {
  const slot = slotFor(position, team);
  if (slot < 0) { return -1; }
  position.stones[slot] = point;
  position.shotNumber = Math.max(position.shotNumber, slot + 1);
  return slot;
}

function number(value) { return Number.isFinite(value) ? value.toFixed(4).replace(/\.?0+$/, '') : '0'; }

export function engineLines(position) {
  const coordinates = position.stones.map((p) => (p ? `${number(p[0])} ${number(p[1])}` : '0 0')).join(' ');
  return `POSITION ${coordinates}\nSETSTATE ${position.shotNumber} ${position.end} 8 ${position.shotNumber % 2}\n`;
}

// Reads POSITION and SETSTATE lines as the engine reads them: missing numbers leave what was there.
export function readEngineLines(text, position) {
  const next = JSON.parse(JSON.stringify(position));
  let understood = false;
  for (const line of text.split(/\r?\n/)) {
    const tokens = line.trim().split(/ +/);
    const word = tokens[0].toUpperCase();
    const values = tokens.slice(1).map(Number);
    if (word === 'POSITION') {
      understood = true;
      for (let i = 0; i < StoneCount && 2 * i + 1 < values.length; ++i) {
        const x = values[2 * i], y = values[2 * i + 1];
        next.stones[i] = Number.isFinite(x) && Number.isFinite(y) && (x !== 0 || y !== 0) ? [x, y] : null;
      }
    } else if (word === 'SETSTATE') {
      understood = true;
      if (Number.isInteger(values[0])) { next.shotNumber = Math.max(0, Math.min(15, values[0])); }
      if (Number.isInteger(values[1])) { next.end = Math.max(0, values[1]); }
    }
  }
  return understood ? next : null;
}

export function readPositionJson(text) {
  let data;
  try { data = JSON.parse(text); } catch (e) { return null; }
  if (!data || !Array.isArray(data.stones) || data.stones.length !== StoneCount) { return null; }
  const position = emptyPosition();
  position.stones = data.stones.map((p) => (Array.isArray(p) && p.length === 2 && p.every(Number.isFinite) ? p : null));
  position.shotNumber = Number.isInteger(data.shotNumber) ? Math.max(0, Math.min(15, data.shotNumber)) : 0;
  position.end = Number.isInteger(data.end) ? data.end : 0;
  position.hammer = data.hammer === 0 ? 0 : 1;
  return position;
}

// Mouse editing on one svg view: click places a stone of the team to throw (shift-click: the other team),
// dragging moves one, right-click or the Delete key over it removes it.
export function attachEditing(svg, board) {
  let dragging = -1, moved = false, hovered = -1;
  const stoneAt = (event) => {
    const target = event.target.closest ? event.target.closest('g.stone') : null;
    return target ? Number(target.getAttribute('data-index')) : -1;
  };
  svg.addEventListener('mousedown', (event) => {
    if (event.button !== 0 || !board.editable()) { return; }
    dragging = stoneAt(event);
    moved = false;
  });
  svg.addEventListener('mousemove', (event) => {
    hovered = stoneAt(event);
    if (dragging < 0) { return; }
    moved = true;
    board.position.stones[dragging] = sheetPoint(svg, event);
    board.redraw();
  });
  window.addEventListener('mouseup', () => {
    if (dragging >= 0 && moved) { board.changed(); }
    dragging = -1;
  });
  svg.addEventListener('click', (event) => {
    if (!board.editable() || moved || stoneAt(event) >= 0) { moved = false; return; }
    const point = sheetPoint(svg, event);
    if (point[0] < 0 || point[0] > Sheet.width) { return; }
    const team = event.shiftKey ? 1 - teamToThrow(board.position) : teamToThrow(board.position);
    if (placeStone(board.position, team, point) >= 0) { board.changed(); }
  });
  svg.addEventListener('contextmenu', (event) => {
    const index = stoneAt(event);
    if (index >= 0 && board.editable()) {
      event.preventDefault();
      board.position.stones[index] = null;
      board.changed();
    }
  });
  svg.addEventListener('mouseleave', () => { hovered = -1; });
  document.addEventListener('keydown', (event) => {
    if ((event.key === 'Delete' || event.key === 'Backspace') && hovered >= 0 && board.editable() &&
        !/INPUT|TEXTAREA|SELECT/.test(document.activeElement.tagName)) {
      board.position.stones[hovered] = null;
      hovered = -1;
      board.changed();
    }
  });
}

export function drawPosition(layers, position, stones = position.stones, last = -1) {
  for (const layer of layers) {
    drawStones(layer, stones, (i) => teamOfStone(position, i), {
      last, faded: (i) => i >= position.shotNumber,
    });
  }
}
