// Watch: the match folders the host writes, and any game of them, followed live as its record grows.
import { getJson } from './api.js';
import { animatePaths, drawPaths, drawStones, crossMark } from './draw.js';

export async function listMatches(select) {
  const answer = await getJson('/api/matches');
  select.innerHTML = '';
  if (!answer.ok) { return answer.data.error; }
  for (const match of answer.data.matches) {
    for (const game of match.games) {
      const option = document.createElement('option');
      option.value = JSON.stringify({ match: match.name, game: game.game });
      option.textContent = `${match.name}${game.game ? ' / ' + game.game : ''}${game.finished ? '' : ' (playing)'}`;
      select.appendChild(option);
    }
  }
  return answer.data.matches.length === 0 ? 'No match has been played into the matches folder yet.' : '';
}

function teamOf(shot, stone) {
  return stone % 2 === shot.shot % 2 ? shot.team : 1 - shot.team;
}

export function watchGame(choice, view) {
  const query = `match=${encodeURIComponent(choice.match)}&game=${encodeURIComponent(choice.game)}`;
  return followRecord(`/api/matches/events?${query}`, view);
}

// Follows a game's record from its event stream: every shot is animated in turn, the line score and
// caption kept up to date; view.shown(shot) hears of each shot once it is drawn.
export function followRecord(url, view) {
  const source = new EventSource(url);
  const game = { setup: null, shots: [], ends: [], result: null };
  let queue = Promise.resolve(), current = null, stopped = false;
  // Another mode may own the sheet meanwhile: the game goes on, undrawn.
  const visible = () => !view.active || view.active();
  const show = (shot, stones) => {
    if (!visible()) { return; }
    for (const layer of view.stoneLayers) { drawStones(layer, stones, (i) => teamOf(shot, i), { last: shot.shot }); }
  };
  const play = async (shot, before) => {
    if (stopped) { return; }
    view.caption(`End ${shot.end + 1}, stone ${shot.shot + 1} of 16, ${shot.team === 0 ? 'red' : 'yellow'}` +
      (shot.delivered ? '' : `: thrown away (${shot.fault})`) +
      (shot.delivered && shot.moved ? `, aimed at (${shot.aimed[0].toFixed(2)}, ${shot.aimed[1].toFixed(2)}), ` +
        `the noise moved it to (${shot.moved[0].toFixed(2)}, ${shot.moved[1].toFixed(2)})` : ''));
    if (visible()) { for (const layer of view.pathLayers) { layer.innerHTML = ''; } }
    if (shot.path && view.animate() && visible()) {
      current = animatePaths(before, shot.path, 0.1, (stones) => show(shot, stones), view.speed());
      await current.done;
    }
    if (visible()) {
      for (const layer of view.pathLayers) { drawPaths(layer, shot.path, (i) => teamOf(shot, i)); }
      if (shot.moved) { for (const layer of view.markLayers) { layer.innerHTML = ''; crossMark(layer, shot.moved); } }
    }
    show(shot, shot.stones.map((p) => (p[0] === 0 && p[1] === 0 ? null : p)));
    view.shots(game.shots.length, game.shots.indexOf(shot) + 1);
    if (view.shown) { view.shown(shot); }
  };
  source.onmessage = (event) => {
    let line;
    try { line = JSON.parse(event.data); } catch (e) { return; }
    if (line.type === 'game') {
      game.setup = line;
      view.setup(line);
    } else if (line.type === 'shot') {
      const previous = game.shots[game.shots.length - 1];
      const before = previous && previous.end === line.end
        ? previous.stones.map((p) => (p[0] === 0 && p[1] === 0 ? null : p)) : new Array(16).fill(null);
      game.shots.push(line);
      queue = queue.then(() => play(line, before));
    } else if (line.type === 'end') {
      game.ends.push(line);
      queue = queue.then(() => view.ends(game.ends));
    } else if (line.type === 'result') {
      game.result = line;
      source.close();
      queue = queue.then(() => view.result(line));
    }
  };
  source.onerror = () => { if (!game.result) { view.caption('The stream stopped; pick the game again to follow it.'); } source.close(); };
  return { stop() { stopped = true; source.close(); if (current) { current.cancel(); } } };
}

export function lineScoreHtml(ends, regularEnds) {
  const columns = Math.max(regularEnds, ends.length);
  let html = '<tr><th></th>';
  for (let e = 0; e < columns; ++e) { html += `<th>${e + 1}</th>`; }
  html += '<th>Total</th></tr>';
  for (let team = 0; team < 2; ++team) {
    html += `<tr><td class="name"><span class="swatch t${team}"></span>${team === 0 ? 'red' : 'yellow'}</td>`;
    let total = 0;
    for (let e = 0; e < columns; ++e) {
      const end = ends[e];
      total += end ? end.points[team] : 0;
      html += `<td>${end ? end.points[team] : ''}</td>`;
    }
    html += `<td class="total">${total}</td></tr>`;
  }
  return html;
}
