// The studio's page: the board and the engine's thinking on it, and watching matches.
import { Views, animatePaths, drawPaths, drawSheet } from './draw.js';
import {
  attachEditing, drawPosition, emptyPosition, engineLines, readEngineLines, readPositionJson, teamOfStone,
  teamToThrow,
} from './board.js';
import { analyse, drawSpread, markTarget, showAnalysis } from './think.js';
import { createPlay } from './play.js';
import { lineScoreHtml, listMatches, watchGame } from './watch.js';

const $ = (id) => document.getElementById(id);
const TeamNames = ['red', 'yellow'];

const views = { whole: drawSheet($('sheet-whole'), Views.whole), house: drawSheet($('sheet-house'), Views.house) };
const both = (name) => [views.whole[name], views.house[name]];
let mode = 'think';
let analysis = null, animation = null;

function status(text) { $('status').textContent = text; }

const board = {
  position: emptyPosition(),
  editable: () => mode === 'think',
  redraw() {
    drawPosition(both('stones'), board.position);
    $('shot-number').value = board.position.shotNumber;
    $('end').value = board.position.end;
    $('hammer').value = String(board.position.hammer);
    $('to-throw').textContent = `${TeamNames[teamToThrow(board.position)]} to throw stone ${board.position.shotNumber + 1}`;
  },
  // Any edit makes the last analysis stale.
  changed() {
    clearAnalysis();
    board.redraw();
  },
};

function clearAnalysis() {
  if (animation) { animation.cancel(); animation = null; }
  analysis = null;
  for (const name of ['paths', 'marks', 'top']) { for (const layer of both(name)) { layer.innerHTML = ''; } }
  $('summary').textContent = '';
  $('draw-maps').innerHTML = '';
  $('strips').innerHTML = '';
  $('replay-outcome').disabled = true;
}

async function playOutcome() {
  if (!analysis || !analysis.outcome) { return; }
  if (animation) { animation.cancel(); }
  const position = board.position, outcome = analysis.outcome;
  const teamOf = (i) => teamOfStone(position, i);
  for (const layer of both('paths')) { layer.innerHTML = ''; }
  const before = position.stones.map((p, i) => (i < position.shotNumber ? p : null));
  animation = animatePaths(before, outcome.paths, outcome.interval,
    (stones) => drawPosition(both('stones'), position, stones, position.shotNumber), 2);
  const finished = await animation.done;
  if (!finished) { return; }
  for (const layer of both('paths')) { drawPaths(layer, outcome.paths, teamOf); }
  drawPosition(both('stones'), position, outcome.stones, position.shotNumber);
  $('sheet-house').setAttribute('data-drawn', 'outcome');
}

async function runAnalysis() {
  clearAnalysis();
  board.redraw();
  $('analyse').disabled = true;
  status('');
  const started = performance.now();
  try {
    analysis = await analyse(board.position, $('progress'));
    $('sheet-house').setAttribute('data-answered-ms', String(Math.round(performance.now() - started)));
    showAnalysis(analysis, { summary: $('summary'), drawMaps: $('draw-maps'), strips: $('strips') },
      (text) => { $('hover').textContent = text; });
    drawSpread(views.house.marks, analysis);
    for (const layer of both('top')) { markTarget(layer, analysis); }
    $('sheet-house').setAttribute('data-analysed-ms', String(Math.round(performance.now() - started)));
    $('replay-outcome').disabled = false;
    playOutcome();
  } catch (error) {
    status(`Analysis failed: ${error.message}`);
  } finally {
    $('analyse').disabled = false;
  }
}

function setMode(next) {
  mode = next;
  for (const button of document.querySelectorAll('.tab')) { button.classList.toggle('active', button.dataset.mode === next); }
  for (const name of ['think', 'play', 'watch']) { $(`mode-${name}`).hidden = next !== name; }
  clearAnalysis();
  for (const layer of both('stones')) { layer.innerHTML = ''; }
  if (next === 'think') { board.redraw(); } else if (next === 'play') { play.show(); } else { refreshMatches(); }
}

function download(name, text) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], { type: 'application/json' }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function wireBoard() {
  attachEditing($('sheet-whole'), board);
  attachEditing($('sheet-house'), board);
  $('shot-number').onchange = () => {
    board.position.shotNumber = Math.max(0, Math.min(15, Math.round(Number($('shot-number').value)) || 0));
    board.changed();
  };
  $('end').onchange = () => { board.position.end = Math.max(0, Math.round(Number($('end').value)) || 0); board.redraw(); };
  $('hammer').onchange = () => { board.position.hammer = Number($('hammer').value); board.changed(); };
  $('clear').onclick = () => { board.position = { ...emptyPosition(), end: board.position.end, hammer: board.position.hammer }; board.changed(); };
  $('copy-lines').onclick = async () => {
    $('lines').value = engineLines(board.position);
    try { await navigator.clipboard.writeText($('lines').value); } catch (e) { /* the text box holds it */ }
  };
  $('paste-lines').onclick = () => {
    const read = readEngineLines($('lines').value, board.position);
    if (read) { board.position = read; board.changed(); status(''); } else { status('No POSITION or SETSTATE line to read.'); }
  };
  $('save-json').onclick = () => download('position.json', JSON.stringify(board.position));
  $('load-json').onchange = async () => {
    const file = $('load-json').files[0];
    const read = file ? readPositionJson(await file.text()) : null;
    if (read) { board.position = read; board.changed(); status(''); } else if (file) { status(`${file.name} holds no position.`); }
  };
  $('analyse').onclick = runAnalysis;
  $('replay-outcome').onclick = playOutcome;
}

let watching = null;

async function refreshMatches() {
  $('watch-note').textContent = await listMatches($('match-list'));
}

function wireWatch() {
  $('refresh-matches').onclick = refreshMatches;
  $('watch').onclick = () => {
    if (watching) { watching.stop(); }
    if (!$('match-list').value) { return; }
    let regularEnds = 8;
    $('watch-score').innerHTML = lineScoreHtml([], regularEnds);
    watching = watchGame(JSON.parse($('match-list').value), {
      active: () => mode === 'watch', stoneLayers: both('stones'), pathLayers: both('paths'), markLayers: [views.house.marks],
      animate: () => $('watch-animate').checked,
      speed: () => Number($('watch-speed').value),
      caption: (text) => { $('watch-caption').textContent = text; },
      setup: (game) => { regularEnds = game.ends; $('watch-score').innerHTML = lineScoreHtml([], regularEnds); },
      shots: (count, shown) => { $('watch-counter').textContent = `showing shot ${shown}, ${count} played so far`; },
      ends: (ends) => { $('watch-score').innerHTML = lineScoreHtml(ends, regularEnds); },
      result: (result) => {
        $('watch-caption').textContent += `\nThe game is over: ${result.totals[0]} to ${result.totals[1]}` +
          (result.message ? `. ${result.message}` : '.');
      },
    });
  };
}

let play = null;

function wirePlay() {
  play = createPlay({
    red: $('play-red'), yellow: $('play-yellow'), ends: $('play-ends'), seed: $('play-seed'), start: $('play-start'),
    curl: $('play-curl'), status: $('play-status'), score: $('play-score'), record: $('play-record'),
    panel: $('mode-play'),
  }, {
    svgs: [$('sheet-whole'), $('sheet-house')], active: () => mode === 'play',
    stoneLayers: both('stones'), pathLayers: both('paths'), markLayers: [views.house.marks],
    animate: () => $('play-animate').checked, speed: () => Number($('play-speed').value),
    caption: (text) => { $('play-caption').textContent = text; },
    setup: () => {}, ends: () => {},
    shots: (count, shown) => { $('play-counter').textContent = `showing shot ${shown}, ${count} played so far`; },
  });
}

for (const button of document.querySelectorAll('.tab')) { button.onclick = () => setMode(button.dataset.mode); }
wireBoard();
wirePlay();
wireWatch();
board.redraw();
